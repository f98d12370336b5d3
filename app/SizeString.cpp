#include "SizeString.h"

QString GetSizeString(qint64 bytes)
{
    const float value = static_cast<float>(bytes);
    struct Unit
    {
        float size;
        const char* text;
    };
    static const Unit units[] = {
        {1099511627776.0f, " TB"}, {1073741824.0f, " GB"}, {1048576.0f, " MB"}, {1024.0f, " KB"}};
    for (const Unit& unit : units) {
        if (value >= unit.size)
            return QString::number(static_cast<double>(value * (1.0f / unit.size)), 'f', 2) + QLatin1String(unit.text);
    }
    return QString::number(static_cast<double>(value), 'f', 2) + QLatin1String(" B");
}
