// The erasure certificate's content, apart from its painting: page texts, counts, the
// algorithm rows and one annexure entry per erased file, all taken from the inputs and
// one reading of the clock.
#pragma once

#include "Records.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>

// What a certificate is made from.
struct CertificateInput
{
    QString certificatePath; // the folder that holds KVCERTIFICATE/
    int algorithm = 0;       // overwrite algorithm index 0..16
    QVector<CERTIFICATEDATA> records;
    qint64 selectedFileCount = 0;
    // The engine's algorithm name: log name, a space, pass label and a space
    // ("Zeroes 1 Write Pass "); two spaces for an unknown index. Without it both
    // algorithm values stay empty.
    std::function<QString(int)> algorithmName;
};

class CertificateModel
{
public:
    // One label/value row of page 1.
    struct Row
    {
        QString label;
        QString value;
    };

    // One annexure entry: the number and the whole line, before wrapping.
    struct Entry
    {
        QString number; // "000001."
        QString line;
        bool failed = false; // drawn in the failure colour
    };

    // Reads the clock once (KorvaneApp::Now()).
    explicit CertificateModel(const CertificateInput& input);

    QDateTime Stamp() const { return m_now; }
    // <certificatePath>/KVCERTIFICATE/<date and time>.pdf
    QString FilePath() const;

    qint64 Processed() const { return m_processed; }
    qint64 Successful() const { return m_successful; }
    qint64 Failed() const { return m_processed - m_successful; }
    QString AlgorithmUsed() const { return m_algorithmUsed; }
    QString AlgorithmPasses() const { return m_algorithmPasses; }

    QVector<Row> InformationRows() const;
    QVector<Row> SummaryRows() const;
    const QVector<Entry>& Entries() const { return m_entries; }

    static QString Title();
    static QString AnnexureTitle();
    static QString Disclaimer();
    static QString InformationHeading();
    static QString SummaryHeading();
    static QString Statement();
    static QString SignatureLine();
    static QString TechnicianCaption();
    static QString ValidatorCaption();
    static QString EndMark();

    // Splits the engine's joined name into the certificate's two values; both are empty
    // when the text does not end in a pass label.
    static void SplitAlgorithmName(const QString& joined, QString* name, QString* passes);
    static QString StatusText(int status);
    static QString EntryLine(const CERTIFICATEDATA& record);

private:
    QDateTime m_now;
    QString m_folder;
    qint64 m_selected = 0;
    qint64 m_processed = 0;
    qint64 m_successful = 0;
    QString m_algorithmUsed;
    QString m_algorithmPasses;
    QVector<Entry> m_entries;
};
