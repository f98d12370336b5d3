#include "CertificatePainter.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>

static void InitCertificateResources()
{
    Q_INIT_RESOURCE(certificate); // the logos live in this static library
}

namespace {
const QColor kTitleBlue(QStringLiteral("#3f48cc"));
const QColor kBodyBlack(QStringLiteral("#000000"));
const QColor kFailureRed(QStringLiteral("#ed1c24"));

const char kLeftLogo[] = ":/images/images/CertificateLogo/left-logo.png";
const char kRightLogo[] = ":/images/images/CertificateLogo/right-logo.png";

// The layout is in points: the page is A4 at 72 units per inch, with margins that leave
// a 578-unit-wide viewport, whatever the resolution of the screen.
const int kResolution = 72;
const qreal kMargin = 8.5;

const int kWrapLimit = 490;
const int kLineStep = 10;

QFont PageFont(int pointSize, bool bold, bool underline)
{
    QFont font = QGuiApplication::font();
#ifndef Q_OS_MACOS
    // The fixed rectangles are measured for the Mac's Helvetica-like application font; the
    // usual Linux sans (DejaVu) is a sixth wider and runs the titles under the right logo.
    // "Helvetica" reaches its metric twin (Nimbus Sans) through fontconfig.
    font.setFamily(QStringLiteral("Helvetica"));
    font.setStyleHint(QFont::Helvetica);
#endif
    font.setPointSize(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void DrawRow(QPainter& painter, int y, const CertificateModel::Row& row)
{
    painter.drawText(QRect(140, y, 120, 30), Qt::AlignLeft, row.label);
    painter.drawText(QRect(270, y, 355, 30), Qt::AlignLeft, row.value);
}
} // namespace

bool CertificatePainter::Paint(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    PaintFirstPage(painter);
    printer.newPage();
    const int pageHeight = printer.height();
    int y = PaintAnnexure(printer, painter) + 20;
    if (y >= pageHeight) {
        printer.newPage();
        y = 10;
    }
    const QRect viewport = painter.viewport();
    painter.setFont(PageFont(12, true, false));
    painter.setPen(kTitleBlue);
    painter.drawText(QRect(viewport.left(), y, viewport.width(), 20), Qt::AlignCenter, m_model.EndMark());
    return painter.end();
}

void CertificatePainter::PaintLogos(QPainter& painter) const
{
    const QImage left{QString(QLatin1String(kLeftLogo))};
    if (!left.isNull())
        painter.drawImage(QRect(10, 10, 65, 72), left);
    const QImage right{QString(QLatin1String(kRightLogo))};
    if (!right.isNull())
        painter.drawImage(QRect(475, 10, 65, 72), right);
}

void CertificatePainter::PaintFirstPage(QPainter& painter) const
{
    const QRect viewport = painter.viewport();

    painter.setFont(PageFont(20, true, true));
    painter.setPen(kTitleBlue);
    painter.drawText(QRect(int(viewport.width() / 2 - 122.5), 20, 300, 30), Qt::AlignLeft, m_model.Title());
    PaintLogos(painter);

    painter.setFont(PageFont(12, false, false));
    painter.setPen(kBodyBlack);
    painter.drawText(QRect(viewport.left(), 105, viewport.width(), 80), Qt::AlignLeft | Qt::TextWordWrap,
                     m_model.Disclaimer());

    const QFont heading = PageFont(15, true, true);
    const QFont body = PageFont(12, false, false);
    painter.setFont(heading);
    painter.drawText(QRect(0, 215, 578, 30), Qt::AlignCenter, m_model.InformationHeading());
    painter.setFont(body);
    int y = 255;
    for (const CertificateModel::Row& row : m_model.InformationRows()) {
        DrawRow(painter, y, row);
        y += 21;
    }

    painter.setFont(heading);
    painter.drawText(QRect(0, 388, 578, 30), Qt::AlignCenter, m_model.SummaryHeading());
    painter.setFont(body);
    y = 428;
    for (const CertificateModel::Row& row : m_model.SummaryRows()) {
        DrawRow(painter, y, row);
        y += 21;
    }

    painter.drawText(QRectF(viewport.left(), 624.0, viewport.width(), 30.0), m_model.Statement());
    painter.drawText(QRect(0, 750, 150, 30), Qt::AlignCenter, m_model.SignatureLine());
    painter.drawText(QRect(0, 759, 150, 30), Qt::AlignCenter, m_model.TechnicianCaption());
    painter.drawText(QRect(420, 750, 138, 30), Qt::AlignCenter, m_model.SignatureLine());
    painter.drawText(QRect(420, 759, 138, 30), Qt::AlignCenter, m_model.ValidatorCaption());
}

int CertificatePainter::PaintAnnexure(QPrinter& printer, QPainter& painter) const
{
    PaintLogos(painter);
    painter.setFont(PageFont(20, true, true));
    painter.setPen(kTitleBlue);
    painter.drawText(QRect(85, 20, 400, 30), Qt::AlignLeft, m_model.AnnexureTitle());

    painter.setFont(PageFont(8, false, false));
    const int pageHeight = printer.height();
    int y = 100;
    for (const CertificateModel::Entry& entry : m_model.Entries()) {
        painter.setPen(entry.failed ? kFailureRed : kBodyBlack);
        painter.drawText(QRect(0, y, 33, 20), Qt::AlignLeft, entry.number);
        for (const QString& piece : WrapLine(entry.line, painter)) {
            painter.drawText(QRect(36, y, 504, 20), Qt::AlignLeft, piece);
            y += kLineStep;
        }
        if (y + 20 >= pageHeight) {
            printer.newPage();
            y = 0;
        }
    }
    return y;
}

QStringList CertificatePainter::WrapLine(const QString& line, const QPainter& painter)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QChar ellipsis(0x2026);
    const int elideWidth = kWrapLimit + metrics.horizontalAdvance(ellipsis);
    QStringList pieces;
    QString rest = line;
    while (!rest.isEmpty()) {
        if (metrics.horizontalAdvance(rest) <= kWrapLimit) {
            pieces.append(rest);
            break;
        }
        QString kept = metrics.elidedText(rest, Qt::ElideRight, elideWidth);
        if (kept == rest) {
            pieces.append(rest); // fits once the room of the ellipsis is counted
            break;
        }
        if (kept.endsWith(ellipsis))
            kept.chop(1);
        // A single glyph wider than the line still has to move the text on.
        if (kept.isEmpty())
            kept = rest.left(rest.at(0).isHighSurrogate() && rest.size() > 1 ? 2 : 1);
        pieces.append(kept);
        rest.remove(0, kept.size());
    }
    return pieces;
}

bool GenerateCertificate(const CertificateInput& input, QString* writtenPath)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false; // fonts and the printer need a GUI application
    InitCertificateResources();

    const CertificateModel model(input);
    // The name is predictable and the program may run as root: a link planted under that
    // name must not make the printer overwrite its target.
    if (QFileInfo(model.FilePath()).isSymLink() && !QFile::remove(model.FilePath()))
        return false;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setResolution(kResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Point);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(model.FilePath());
    if (!CertificatePainter(model).Paint(printer))
        return false;
    if (writtenPath)
        *writtenPath = model.FilePath();
    return true;
}
