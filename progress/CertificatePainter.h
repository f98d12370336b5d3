// Draws an erasure certificate into an A4 PDF through the printer: page 1 with the
// summary, then the annexure with one numbered, wrapped line per erased file.
#pragma once

#include "CertificateModel.h"

class QPainter;
class QPrinter;

class CertificatePainter
{
public:
    explicit CertificatePainter(const CertificateModel& model) : m_model(model) {}

    // Writes the model's file; false (and no file) when the painter cannot open it.
    bool Paint(QPrinter& printer) const;

    // The pieces a line is drawn in: the widest prefixes that fit into the line width.
    static QStringList WrapLine(const QString& line, const QPainter& painter);

private:
    void PaintFirstPage(QPainter& painter) const;
    void PaintLogos(QPainter& painter) const;
    int PaintAnnexure(QPrinter& printer, QPainter& painter) const;

    const CertificateModel& m_model;
};

// Builds the certificate of `input` at <certificatePath>/KVCERTIFICATE/<date and time>.pdf,
// overwriting a file of that name. Needs a QGuiApplication; the folder must exist. Returns
// false when nothing was written. `writtenPath`, when given, receives the file's path.
bool GenerateCertificate(const CertificateInput& input, QString* writtenPath = nullptr);
