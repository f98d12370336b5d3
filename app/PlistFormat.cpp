#include "PlistFormat.h"

#include <QDateTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

QVariant ReadValue(QXmlStreamReader& xml);

QVariantMap ReadDict(QXmlStreamReader& xml)
{
    QVariantMap dict;
    QString key;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("key"))
            key = xml.readElementText();
        else
            dict.insert(key, ReadValue(xml));
    }
    return dict;
}

QVariant ReadValue(QXmlStreamReader& xml)
{
    const QStringRef tag = xml.name();
    if (tag == QLatin1String("dict"))
        return ReadDict(xml);
    if (tag == QLatin1String("array")) {
        QVariantList list;
        while (xml.readNextStartElement())
            list.append(ReadValue(xml));
        return list;
    }
    if (tag == QLatin1String("true") || tag == QLatin1String("false")) {
        const bool value = tag == QLatin1String("true");
        xml.skipCurrentElement();
        return value;
    }
    if (tag == QLatin1String("integer"))
        return xml.readElementText().toLongLong();
    if (tag == QLatin1String("real"))
        return xml.readElementText().toDouble();
    if (tag == QLatin1String("data"))
        return QByteArray::fromBase64(xml.readElementText().toLatin1());
    if (tag == QLatin1String("date"))
        return QDateTime::fromString(xml.readElementText(), Qt::ISODate);
    return xml.readElementText(QXmlStreamReader::IncludeChildElements);
}

// Nested dictionaries become "group/key" entries, as QSettings expects.
void Flatten(const QVariantMap& dict, const QString& prefix, QSettings::SettingsMap& map)
{
    for (auto it = dict.cbegin(); it != dict.cend(); ++it) {
        if (it.value().type() == QVariant::Map)
            Flatten(it.value().toMap(), prefix + it.key() + '/', map);
        else
            map.insert(prefix + it.key(), it.value());
    }
}

void WriteValue(QXmlStreamWriter& xml, const QVariant& value);

void WriteDict(QXmlStreamWriter& xml, const QVariantMap& dict)
{
    xml.writeStartElement(QStringLiteral("dict"));
    for (auto it = dict.cbegin(); it != dict.cend(); ++it) {
        xml.writeTextElement(QStringLiteral("key"), it.key());
        WriteValue(xml, it.value());
    }
    xml.writeEndElement();
}

void WriteValue(QXmlStreamWriter& xml, const QVariant& value)
{
    switch (value.type()) {
    case QVariant::Map:
        WriteDict(xml, value.toMap());
        break;
    case QVariant::List:
    case QVariant::StringList:
        xml.writeStartElement(QStringLiteral("array"));
        for (const QVariant& item : value.toList())
            WriteValue(xml, item);
        xml.writeEndElement();
        break;
    case QVariant::Bool:
        xml.writeEmptyElement(value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        break;
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong:
        xml.writeTextElement(QStringLiteral("integer"), value.toString());
        break;
    case QVariant::Double:
        xml.writeTextElement(QStringLiteral("real"), value.toString());
        break;
    case QVariant::ByteArray:
        xml.writeTextElement(QStringLiteral("data"), QString::fromLatin1(value.toByteArray().toBase64()));
        break;
    case QVariant::DateTime:
        xml.writeTextElement(QStringLiteral("date"), value.toDateTime().toUTC().toString(Qt::ISODate));
        break;
    default:
        xml.writeTextElement(QStringLiteral("string"), value.toString());
        break;
    }
}

} // namespace

namespace Plist {

bool Read(QIODevice& device, QSettings::SettingsMap& map)
{
    QXmlStreamReader xml(&device);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("plist"))
        return device.size() == 0; // an empty file is an empty property list
    if (!xml.readNextStartElement())
        return !xml.hasError();
    if (xml.name() != QLatin1String("dict"))
        return false;
    const QVariantMap dict = ReadDict(xml);
    if (xml.hasError())
        return false;
    Flatten(dict, QString(), map);
    return true;
}

bool Write(QIODevice& device, const QSettings::SettingsMap& map)
{
    QVariantMap root;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        // Walk down the nested maps, building them as needed.
        QList<QVariantMap> stack{root};
        for (int i = 0; i + 1 < parts.size(); ++i)
            stack.append(stack.last().value(parts.at(i)).toMap());
        stack.last().insert(parts.last(), it.value());
        for (int i = parts.size() - 2; i >= 0; --i) {
            QVariantMap child = stack.takeLast();
            stack.last().insert(parts.at(i), child);
        }
        root = stack.first();
    }

    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
    xml.writeStartElement(QStringLiteral("plist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    WriteDict(xml, root);
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

} // namespace Plist

QSettings::Format PlistFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("plist"), Plist::Read, Plist::Write, Qt::CaseSensitive);
    return format;
}
