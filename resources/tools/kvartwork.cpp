// Draws every picture of the application (and the frames of its animations, and the PDF of
// the licence agreement) so that the artwork is reproducible from source. Run through
// generate.sh, which assembles the animation frames into GIFs with ImageMagick.
//
// Usage: kvartwork <images folder> <frames folder> <Eula.txt> <Eula.pdf> <help images folder>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRadialGradient>
#include <QTextDocument>
#include <QTextStream>
#include <QtMath>

#include <functional>

namespace {

QString g_out;

const QColor kBody(96, 96, 109);
const QColor kSplashBody(52, 52, 64);
const QColor kAccent(62, 150, 222);
const QColor kAccentDark(34, 104, 178);
const QColor kTeal(38, 190, 170);

using Painter = std::function<void(QPainter&, const QRectF&)>;

void Save(const QString& name, int w, int h, const Painter& paint, const QColor& fill = Qt::transparent)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        paint(p, QRectF(0, 0, w, h));
    }
    const QString path = g_out + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG"))
        qFatal("cannot write %s", qPrintable(path));
}

QFont Font(qreal pixelSize, int weight = QFont::Normal)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    return font;
}

QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// A rounded, vertically shaded button face with a thin light rim.
void ButtonFace(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom, qreal radius)
{
    QRectF face = r.adjusted(1.5, 1.5, -1.5, -2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(face.translated(0, 1.5), radius, radius);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1.2));
    p.drawRoundedRect(face, radius, radius);
    QLinearGradient shine(face.topLeft(), QPointF(face.left(), face.center().y()));
    shine.setColorAt(0, QColor(255, 255, 255, 55));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawRoundedRect(face.adjusted(2, 2, -2, -face.height() / 2), radius - 2, radius - 2);
}

// ---- glyphs, drawn in white (or the given colour) inside a square ----

void GlyphFolder(QPainter& p, const QRectF& r, const QColor& c)
{
    const qreal s = r.width();
    QPainterPath tab;
    tab.addRoundedRect(QRectF(r.left() + s * 0.12, r.top() + s * 0.22, s * 0.34, s * 0.16), s * 0.04, s * 0.04);
    p.setPen(Qt::NoPen);
    p.setBrush(c.darker(125));
    p.drawPath(tab);
    p.setBrush(c.darker(112));
    p.drawRoundedRect(QRectF(r.left() + s * 0.12, r.top() + s * 0.3, s * 0.76, s * 0.5), s * 0.05, s * 0.05);
    QLinearGradient g(0, r.top() + s * 0.38, 0, r.top() + s * 0.82);
    g.setColorAt(0, c.lighter(118));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r.left() + s * 0.12, r.top() + s * 0.38, s * 0.76, s * 0.44), s * 0.05, s * 0.05);
}

void GlyphDocument(QPainter& p, const QRectF& r, const QColor& paper, const QColor& ink, bool shredded)
{
    const qreal s = r.width();
    QRectF page(r.left() + s * 0.24, r.top() + s * 0.12, s * 0.52, s * (shredded ? 0.5 : 0.76));
    QPainterPath path;
    const qreal fold = s * 0.14;
    path.moveTo(page.topLeft());
    path.lineTo(page.right() - fold, page.top());
    path.lineTo(page.right(), page.top() + fold);
    path.lineTo(page.bottomRight());
    path.lineTo(page.bottomLeft());
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(paper);
    p.drawPath(path);
    p.setBrush(paper.darker(120));
    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    corner.closeSubpath();
    p.drawPath(corner);
    p.setPen(QPen(ink, s * 0.035, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < (shredded ? 3 : 5); ++i) {
        const qreal y = page.top() + fold + s * 0.06 + i * s * 0.09;
        p.drawLine(QPointF(page.left() + s * 0.08, y), QPointF(page.right() - s * (i % 2 ? 0.16 : 0.08), y));
    }
    if (shredded) {
        p.setPen(Qt::NoPen);
        p.setBrush(paper);
        const int strips = 5;
        const qreal w = page.width() / strips;
        for (int i = 0; i < strips; ++i) {
            const qreal len = s * (0.14 + 0.08 * ((i * 7) % 3));
            p.drawRect(QRectF(page.left() + i * w + w * 0.12, page.bottom() + s * 0.04, w * 0.76, len));
        }
    }
}

void GlyphGlobe(QPainter& p, const QRectF& r, const QColor& c)
{
    const qreal s = r.width();
    QRectF g = r.adjusted(s * 0.18, s * 0.18, -s * 0.18, -s * 0.18);
    p.setPen(QPen(c, s * 0.05));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(g);
    p.drawEllipse(g.adjusted(g.width() * 0.28, 0, -g.width() * 0.28, 0));
    p.drawLine(QPointF(g.center().x(), g.top()), QPointF(g.center().x(), g.bottom()));
    p.drawLine(QPointF(g.left(), g.center().y()), QPointF(g.right(), g.center().y()));
    const qreal dy = g.height() * 0.25;
    p.drawLine(QPointF(g.left() + g.width() * 0.07, g.center().y() - dy),
               QPointF(g.right() - g.width() * 0.07, g.center().y() - dy));
    p.drawLine(QPointF(g.left() + g.width() * 0.07, g.center().y() + dy),
               QPointF(g.right() - g.width() * 0.07, g.center().y() + dy));
}

void GlyphBubble(QPainter& p, const QRectF& r, const QColor& c)
{
    const qreal s = r.width();
    QPainterPath path;
    path.addRoundedRect(QRectF(r.left() + s * 0.16, r.top() + s * 0.2, s * 0.68, s * 0.46), s * 0.16, s * 0.16);
    QPainterPath tail;
    tail.moveTo(r.left() + s * 0.3, r.top() + s * 0.6);
    tail.lineTo(r.left() + s * 0.24, r.top() + s * 0.8);
    tail.lineTo(r.left() + s * 0.46, r.top() + s * 0.64);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path.united(tail));
}

void GlyphPlay(QPainter& p, const QRectF& r, const QColor& c, bool ring)
{
    const qreal s = r.width();
    if (ring) {
        p.setPen(QPen(c, s * 0.06));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(s * 0.18, s * 0.18, -s * 0.18, -s * 0.18));
    }
    QPainterPath tri;
    tri.moveTo(r.left() + s * 0.41, r.top() + s * 0.32);
    tri.lineTo(r.left() + s * 0.68, r.top() + s * 0.5);
    tri.lineTo(r.left() + s * 0.41, r.top() + s * 0.68);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(tri);
}

void GlyphLetters(QPainter& p, const QRectF& r, const QString& text, const QColor& c)
{
    p.setPen(c);
    p.setFont(Font(r.height() * (text.size() > 1 ? 0.34 : 0.48), QFont::Bold));
    p.drawText(r, Qt::AlignCenter, text);
}

void GlyphGear(QPainter& p, const QRectF& r, const QColor& c, const QColor& hole)
{
    const qreal s = r.width();
    const QPointF o = r.center();
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i * M_PI) / teeth;
        const qreal a1 = ((i + 1) * M_PI) / teeth;
        const qreal rad = (i % 2 == 0) ? s * 0.36 : s * 0.28;
        const QPointF p0 = o + QPointF(qCos(a0) * rad, qSin(a0) * rad);
        const QPointF p1 = o + QPointF(qCos(a1) * rad, qSin(a1) * rad);
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(gear);
    p.setBrush(hole);
    p.drawEllipse(o, s * 0.12, s * 0.12);
}

void GlyphDisk(QPainter& p, const QRectF& r, const QColor& body, const QColor& led)
{
    const qreal s = r.width();
    QRectF box(r.left() + s * 0.12, r.top() + s * 0.3, s * 0.76, s * 0.4);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, body.lighter(130));
    g.setColorAt(1, body.darker(115));
    p.setPen(QPen(body.darker(150), s * 0.02));
    p.setBrush(g);
    p.drawRoundedRect(box, s * 0.07, s * 0.07);
    p.setPen(QPen(body.darker(140), s * 0.025));
    p.drawLine(QPointF(box.left() + s * 0.08, box.center().y() + s * 0.07),
               QPointF(box.right() - s * 0.24, box.center().y() + s * 0.07));
    p.setPen(Qt::NoPen);
    p.setBrush(led);
    p.drawEllipse(QPointF(box.right() - s * 0.12, box.center().y() + s * 0.07), s * 0.035, s * 0.035);
}

void GlyphMagnifier(QPainter& p, const QRectF& r, const QColor& c)
{
    const qreal s = r.width();
    p.setPen(QPen(c, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QPointF(r.left() + s * 0.43, r.top() + s * 0.43), s * 0.22, s * 0.22);
    p.drawLine(QPointF(r.left() + s * 0.6, r.top() + s * 0.6), QPointF(r.left() + s * 0.8, r.top() + s * 0.8));
}

void GlyphUser(QPainter& p, const QRectF& r, const QColor& c)
{
    const qreal s = r.width();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(r.center().x(), r.top() + s * 0.36), s * 0.14, s * 0.14);
    QPainterPath body;
    body.addRoundedRect(QRectF(r.left() + s * 0.24, r.top() + s * 0.54, s * 0.52, s * 0.3), s * 0.15, s * 0.15);
    p.drawPath(body);
}

void GlyphBroom(QPainter& p, const QRectF& r, const QColor& c)
{
    // Scattered footprints: traces that are left behind.
    const qreal s = r.width();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    auto foot = [&](qreal x, qreal y, qreal angle) {
        p.save();
        p.translate(r.left() + s * x, r.top() + s * y);
        p.rotate(angle);
        p.drawEllipse(QRectF(-s * 0.07, -s * 0.12, s * 0.14, s * 0.2));
        p.drawEllipse(QRectF(-s * 0.05, s * 0.1, s * 0.1, s * 0.08));
        p.restore();
    };
    foot(0.36, 0.62, -12);
    foot(0.62, 0.42, 12);
}

// A rounded-square application tile with a shaded colour and a glyph.
void AppTile(QPainter& p, const QRectF& r, const QColor& base,
             const std::function<void(QPainter&, const QRectF&)>& glyph)
{
    const qreal s = r.width();
    QRectF tile = r.adjusted(s * 0.06, s * 0.05, -s * 0.06, -s * 0.07);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(tile.translated(0, s * 0.02), s * 0.2, s * 0.2);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0, base.lighter(125));
    g.setColorAt(1, base.darker(115));
    p.setBrush(g);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawRoundedRect(tile.adjusted(s * 0.02, s * 0.02, -s * 0.02, -tile.height() * 0.55), s * 0.16, s * 0.16);
    glyph(p, tile);
}

// The product mark: a blue shield with a shredded document.
void Logo(QPainter& p, const QRectF& r)
{
    const qreal s = qMin(r.width(), r.height());
    const QRectF q(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
    QPainterPath shield;
    shield.moveTo(q.center().x(), q.top() + s * 0.04);
    shield.cubicTo(q.left() + s * 0.66, q.top() + s * 0.12, q.right() - s * 0.06, q.top() + s * 0.12,
                   q.right() - s * 0.08, q.top() + s * 0.16);
    shield.cubicTo(q.right() - s * 0.06, q.top() + s * 0.62, q.center().x() + s * 0.2, q.bottom() - s * 0.12,
                   q.center().x(), q.bottom() - s * 0.03);
    shield.cubicTo(q.center().x() - s * 0.2, q.bottom() - s * 0.12, q.left() + s * 0.06, q.top() + s * 0.62,
                   q.left() + s * 0.08, q.top() + s * 0.16);
    shield.cubicTo(q.left() + s * 0.06, q.top() + s * 0.12, q.left() + s * 0.34, q.top() + s * 0.12, q.center().x(),
                   q.top() + s * 0.04);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(shield.translated(0, s * 0.015));
    QLinearGradient g(q.topLeft(), q.bottomRight());
    g.setColorAt(0, QColor(86, 186, 240));
    g.setColorAt(0.55, kAccent);
    g.setColorAt(1, QColor(30, 78, 150));
    p.setBrush(g);
    p.setPen(QPen(QColor(255, 255, 255, 150), s * 0.018));
    p.drawPath(shield);
    GlyphDocument(p, q.adjusted(s * 0.16, s * 0.14, -s * 0.16, -s * 0.12), QColor(250, 250, 255), kAccentDark, true);
}

void TrafficLight(const QString& name, const QColor& colour, int symbol)
{
    // symbol: 0 close (x), 1 minimise (-), 2 maximise (+)
    const QString base = QStringLiteral("TitleBar/img_") + name;
    for (int state = 0; state < 4; ++state) {
        const char* suffix[] = {"", "_Hover", "_Pressed", "_Disabled"};
        Save(base + QLatin1String(suffix[state]) + QStringLiteral(".png"), 32, 32, [&](QPainter& p, const QRectF& r) {
            QColor c = state == 2 ? colour.darker(125) : colour;
            if (state == 3)
                c = QColor(120, 120, 134);
            QRadialGradient g(r.center() - QPointF(0, 5), 16);
            g.setColorAt(0, c.lighter(118));
            g.setColorAt(1, c);
            p.setPen(QPen(c.darker(135), 1.5));
            p.setBrush(g);
            p.drawEllipse(r.adjusted(2, 2, -2, -2));
            if (state == 1 || state == 2) {
                p.setPen(QPen(QColor(60, 20, 20, 200), 3, Qt::SolidLine, Qt::RoundCap));
                const QPointF o = r.center();
                if (symbol == 0) {
                    p.drawLine(o + QPointF(-6, -6), o + QPointF(6, 6));
                    p.drawLine(o + QPointF(-6, 6), o + QPointF(6, -6));
                } else {
                    p.drawLine(o + QPointF(-7, 0), o + QPointF(7, 0));
                    if (symbol == 2)
                        p.drawLine(o + QPointF(0, -7), o + QPointF(0, 7));
                }
            }
        });
    }
}

void TitleButton(const QString& name, int w, int h,
                 const std::function<void(QPainter&, const QRectF&, const QColor&)>& glyph, bool framed)
{
    const char* suffix[] = {"", "_Hover", "_Pressed", "_Disabled"};
    for (int state = 0; state < 4; ++state) {
        Save(QStringLiteral("TitleButton/img_") + name + QLatin1String(suffix[state]) + QStringLiteral(".png"), w, h,
             [&](QPainter& p, const QRectF& r) {
                 const QColor ink =
                     state == 3 ? QColor(120, 120, 136) : (state == 0 ? QColor(200, 200, 214) : Qt::white);
                 if (framed || state == 1 || state == 2) {
                     const QColor top = state == 2 ? QColor(40, 40, 50) : QColor(88, 88, 104);
                     const QColor bottom = state == 2 ? QColor(52, 52, 64) : QColor(62, 62, 76);
                     ButtonFace(p, r, top, bottom, h * 0.22);
                 }
                 glyph(p, r, ink);
             });
    }
}

void Chevron(QPainter& p, const QRectF& r, const QColor& c, bool right, qreal size)
{
    p.setPen(QPen(c, size * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF o = r.center();
    const qreal d = size * 0.22;
    if (right) {
        p.drawLine(o + QPointF(-d * 0.6, -d * 1.2), o + QPointF(d * 0.6, 0));
        p.drawLine(o + QPointF(d * 0.6, 0), o + QPointF(-d * 0.6, d * 1.2));
    } else {
        p.drawLine(o + QPointF(d * 0.6, -d * 1.2), o + QPointF(-d * 0.6, 0));
        p.drawLine(o + QPointF(-d * 0.6, 0), o + QPointF(d * 0.6, d * 1.2));
    }
}

void TitleBarArtwork()
{
    Save(QStringLiteral("TitleBar/img_TitleBarStrip.png"), 960, 40, [](QPainter& p, const QRectF& r) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(72, 72, 86));
        g.setColorAt(1, QColor(50, 50, 61));
        p.fillRect(r, g);
        p.fillRect(QRectF(0, 0, r.width(), 1), QColor(255, 255, 255, 36));
        p.fillRect(QRectF(0, r.height() - 1, r.width(), 1), QColor(28, 28, 36));
    });
    Save(QStringLiteral("TitleBar/logo.png"), 64, 64, [](QPainter& p, const QRectF& r) { Logo(p, r); });
    Save(QStringLiteral("TitleBar/AppIcon.png"), 256, 256, [](QPainter& p, const QRectF& r) {
        QRectF tile = r.adjusted(12, 12, -12, -12);
        QLinearGradient g(tile.topLeft(), tile.bottomLeft());
        g.setColorAt(0, QColor(84, 84, 100));
        g.setColorAt(1, QColor(44, 44, 56));
        p.setPen(QPen(QColor(255, 255, 255, 50), 3));
        p.setBrush(g);
        p.drawRoundedRect(tile, 48, 48);
        Logo(p, tile.adjusted(26, 22, -26, -30));
    });
    TrafficLight(QStringLiteral("Close"), QColor(255, 95, 87), 0);
    TrafficLight(QStringLiteral("Min"), QColor(254, 188, 46), 1);
    TrafficLight(QStringLiteral("Max"), QColor(40, 200, 64), 2);

    TitleButton(
        QStringLiteral("Back"), 60, 48,
        [](QPainter& p, const QRectF& r, const QColor& c) { Chevron(p, r, c, false, 48); }, true);
    TitleButton(
        QStringLiteral("Forward"), 60, 48,
        [](QPainter& p, const QRectF& r, const QColor& c) { Chevron(p, r, c, true, 48); }, true);
    TitleButton(
        QStringLiteral("Setting"), 52, 52,
        [](QPainter& p, const QRectF& r, const QColor& c) {
            GlyphGear(p, r.adjusted(6, 6, -6, -6), c, QColor(62, 62, 76));
        },
        false);
    TitleButton(
        QStringLiteral("Help"), 52, 52,
        [](QPainter& p, const QRectF& r, const QColor& c) {
            const QRectF circle = r.adjusted(10, 10, -10, -10);
            p.setPen(QPen(c, 3.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(circle);
            p.setPen(c);
            p.setFont(Font(20, QFont::Bold));
            p.drawText(circle, Qt::AlignCenter, QStringLiteral("?"));
        },
        false);
}

// The home tiles' pictures; the dimmed form is the same picture in greys.
void TilePicture(const QString& name, const std::function<void(QPainter&, const QRectF&)>& paint)
{
    Save(QStringLiteral("HomeScreen/") + name + QStringLiteral(".png"), 80, 80, paint);
    QImage image(g_out + QStringLiteral("/HomeScreen/") + name + QStringLiteral(".png"));
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]) * 0.7 + 40;
            line[x] = qRgba(grey, grey, grey + 6, qAlpha(line[x]) * 0.85);
        }
    }
    image.save(g_out + QStringLiteral("/HomeScreen/") + name + QStringLiteral("_D.PNG"), "PNG");
}

void SliderTrack(const QString& name, bool on)
{
    Save(QStringLiteral("HomeScreen/") + name, 138, 75, [on](QPainter& p, const QRectF& r) {
        const QRectF pill(4, 5, r.width() - 8, r.height() - 10);
        const qreal radius = pill.height() / 2;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 80));
        p.drawRoundedRect(pill.translated(0, 2), radius, radius);
        QLinearGradient g(pill.topLeft(), pill.bottomLeft());
        if (on) {
            g.setColorAt(0, QColor(40, 120, 196));
            g.setColorAt(1, QColor(78, 170, 238));
        } else {
            g.setColorAt(0, QColor(46, 46, 58));
            g.setColorAt(1, QColor(74, 74, 90));
        }
        p.setBrush(g);
        p.setPen(QPen(on ? QColor(120, 196, 255, 160) : QColor(255, 255, 255, 40), 1.5));
        p.drawRoundedRect(pill, radius, radius);
        p.setPen(on ? QColor(255, 255, 255) : QColor(170, 170, 186));
        p.setFont(Font(17, QFont::Bold));
        if (on)
            p.drawText(QRectF(pill.left() + 10, pill.top(), 52, pill.height()), Qt::AlignCenter, QStringLiteral("ON"));
        else
            p.drawText(QRectF(pill.right() - 62, pill.top(), 52, pill.height()), Qt::AlignCenter,
                       QStringLiteral("OFF"));
    });
}

void WideButton(const QString& name, int w, int h, const QColor& top, const QColor& bottom)
{
    Save(name, w, h, [&](QPainter& p, const QRectF& r) { ButtonFace(p, r, top, bottom, h * 0.28); });
}

void HomeScreenArtwork()
{
    SliderTrack(QStringLiteral("On.png"), true);
    SliderTrack(QStringLiteral("Off.png"), false);
    TilePicture(QStringLiteral("File_Folder"), [](QPainter& p, const QRectF& r) {
        GlyphFolder(p, r.adjusted(0, 4, 0, 4), QColor(246, 190, 72));
        GlyphDocument(p, QRectF(r.left() + 26, r.top() + 6, 42, 42), Qt::white, QColor(120, 140, 170), false);
    });
    TilePicture(QStringLiteral("Traces"), [](QPainter& p, const QRectF& r) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(38, 190, 170));
        p.drawEllipse(r.adjusted(6, 6, -6, -6));
        GlyphBroom(p, r.adjusted(8, 8, -8, -8), Qt::white);
    });
    TilePicture(QStringLiteral("UnusedSpace"), [](QPainter& p, const QRectF& r) {
        GlyphDisk(p, r.adjusted(0, 4, 0, 4), QColor(150, 160, 186), QColor(60, 230, 140));
        p.setPen(QPen(QColor(84, 180, 250), 3.5, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i)
            p.drawArc(QRectF(26 - i * 8, 6 - i * 4, 28 + i * 16, 20 + i * 8), 30 * 16, 120 * 16);
    });
    TilePicture(QStringLiteral("Search"), [](QPainter& p, const QRectF& r) {
        GlyphDocument(p, r.adjusted(-6, -2, -6, -2), Qt::white, QColor(120, 140, 170), false);
        GlyphMagnifier(p, r.adjusted(16, 16, 4, 4), QColor(62, 150, 222));
    });
    WideButton(QStringLiteral("HomeScreen/img_Next.png"), 240, 76, QColor(84, 172, 240), QColor(34, 110, 188));
    WideButton(QStringLiteral("HomeScreen/img_NextDisable.png"), 240, 76, QColor(118, 118, 134), QColor(92, 92, 106));
    WideButton(QStringLiteral("HomeScreen/img_Stop.png"), 240, 76, QColor(236, 96, 86), QColor(178, 44, 40));
    Save(QStringLiteral("HomeScreen/img_Line.png"), 752, 14, [](QPainter& p, const QRectF& r) {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, QColor(255, 255, 255, 0));
        g.setColorAt(0.5, QColor(255, 255, 255, 90));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(0, 6, r.width(), 1), g);
        QLinearGradient d(r.topLeft(), r.topRight());
        d.setColorAt(0, QColor(0, 0, 0, 0));
        d.setColorAt(0.5, QColor(0, 0, 0, 60));
        d.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(QRectF(0, 7, r.width(), 1), d);
    });
}

void ButtonArtwork()
{
    WideButton(QStringLiteral("ButtonImage/Small.png"), 128, 64, QColor(124, 124, 142), QColor(78, 78, 94));
    WideButton(QStringLiteral("ButtonImage/RedSmall.png"), 128, 64, QColor(236, 96, 86), QColor(178, 44, 40));
    WideButton(QStringLiteral("ButtonImage/BlueLarge.png"), 240, 64, QColor(84, 172, 240), QColor(34, 110, 188));
    WideButton(QStringLiteral("ButtonImage/Subscribe.png"), 220, 68, QColor(84, 172, 240), QColor(34, 110, 188));
    WideButton(QStringLiteral("ButtonImage/SubscribeB.png"), 220, 68, QColor(124, 124, 142), QColor(78, 78, 94));
}

void InformationIcon(QPainter& p, const QRectF& r)
{
    const QRectF c = r.adjusted(r.width() * 0.08, r.height() * 0.08, -r.width() * 0.08, -r.height() * 0.08);
    QRadialGradient g(c.center() - QPointF(0, c.height() * 0.2), c.width() * 0.6);
    g.setColorAt(0, QColor(110, 190, 250));
    g.setColorAt(1, QColor(34, 110, 188));
    p.setPen(QPen(QColor(255, 255, 255, 120), r.width() * 0.02));
    p.setBrush(g);
    p.drawEllipse(c);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal s = c.width();
    p.drawEllipse(QPointF(c.center().x(), c.top() + s * 0.27), s * 0.07, s * 0.07);
    p.drawRoundedRect(QRectF(c.center().x() - s * 0.06, c.top() + s * 0.42, s * 0.12, s * 0.38), s * 0.04, s * 0.04);
}

void WarningIcon(QPainter& p, const QRectF& r)
{
    const qreal s = qMin(r.width(), r.height());
    QPainterPath tri;
    tri.moveTo(r.center().x(), r.top() + s * 0.1);
    tri.lineTo(r.right() - s * 0.06, r.bottom() - s * 0.1);
    tri.lineTo(r.left() + s * 0.06, r.bottom() - s * 0.1);
    tri.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 210, 90));
    g.setColorAt(1, QColor(240, 150, 30));
    p.setPen(QPen(QColor(255, 240, 200), s * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(tri);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 10));
    p.drawRoundedRect(QRectF(r.center().x() - s * 0.05, r.top() + s * 0.36, s * 0.1, s * 0.3), s * 0.04, s * 0.04);
    p.drawEllipse(QPointF(r.center().x(), r.top() + s * 0.76), s * 0.055, s * 0.055);
}

void MessageArtwork()
{
    Save(QStringLiteral("Message/img_Information.png"), 140, 142,
         [](QPainter& p, const QRectF& r) { InformationIcon(p, QRectF(r.left() + 14, r.top() + 15, 112, 112)); });
    Save(QStringLiteral("Message/img_Warning.png"), 140, 142,
         [](QPainter& p, const QRectF& r) { WarningIcon(p, QRectF(r.left() + 12, r.top() + 12, 116, 116)); });
    Save(QStringLiteral("Message/img_Warning32.png"), 32, 32, [](QPainter& p, const QRectF& r) { WarningIcon(p, r); });
}

void ScrollArtwork()
{
    Save(QStringLiteral("Scroll_Bar/img_Right_arrow.png"), 24, 24,
         [](QPainter& p, const QRectF& r) { Chevron(p, r, Qt::white, true, 22); });
    Save(QStringLiteral("Scroll_Bar/img_down_arrow.png"), 24, 24, [](QPainter& p, const QRectF& r) {
        p.translate(r.center());
        p.rotate(90);
        p.translate(-r.center());
        Chevron(p, r, Qt::white, true, 22);
    });
}

void TracesArtwork()
{
    auto both = [](const QString& name, const QColor& colour,
                   const std::function<void(QPainter&, const QRectF&)>& glyph) {
        Save(QStringLiteral("Traces/") + name + QStringLiteral(".png"), 64, 64,
             [&](QPainter& p, const QRectF& r) { AppTile(p, r, colour, glyph); });
        Save(QStringLiteral("Traces/") + name + QStringLiteral("_B.png"), 64, 64,
             [&](QPainter& p, const QRectF& r) { AppTile(p, r, colour.darker(140), glyph); });
    };
    both(QStringLiteral("Application_Traces"), QColor(122, 98, 214), [](QPainter& p, const QRectF& r) {
        const qreal s = r.width();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(
                QRectF(r.left() + s * (0.22 + 0.3 * (i % 2)), r.top() + s * (0.22 + 0.3 * (i / 2)), s * 0.26, s * 0.26),
                s * 0.06, s * 0.06);
    });
    both(QStringLiteral("InternetActivity"), QColor(40, 140, 220),
         [](QPainter& p, const QRectF& r) { GlyphGlobe(p, r, Qt::white); });
    both(QStringLiteral("System_Traces"), QColor(38, 170, 150),
         [](QPainter& p, const QRectF& r) { GlyphGear(p, r.adjusted(6, 6, -6, -6), Qt::white, QColor(38, 170, 150)); });
    Save(QStringLiteral("Traces/Drive.png"), 64, 64,
         [](QPainter& p, const QRectF& r) { GlyphDisk(p, r, QColor(170, 176, 196), QColor(60, 230, 140)); });
    Save(QStringLiteral("Traces/Volume_Partition_B.png"), 64, 64,
         [](QPainter& p, const QRectF& r) { GlyphDisk(p, r, QColor(110, 150, 210), QColor(250, 200, 60)); });
}

void ApplicationArtwork()
{
    struct App
    {
        const char* file;
        QColor colour;
        std::function<void(QPainter&, const QRectF&)> glyph;
    };
    auto letters = [](const char* text) {
        return [text](QPainter& p, const QRectF& r) { GlyphLetters(p, r, QString::fromLatin1(text), Qt::white); };
    };
    auto globe = [](QPainter& p, const QRectF& r) { GlyphGlobe(p, r, Qt::white); };
    auto bubble = [](const char* text, QColor ink) {
        return [text, ink](QPainter& p, const QRectF& r) {
            GlyphBubble(p, r, Qt::white);
            p.setPen(ink);
            p.setFont(Font(r.height() * 0.2, QFont::Bold));
            p.drawText(QRectF(r.left(), r.top() + r.height() * 0.2, r.width(), r.height() * 0.46), Qt::AlignCenter,
                       QString::fromLatin1(text));
        };
    };
    const App apps[] = {
        {"chrome", QColor(219, 68, 55), globe},
        {"mozila", QColor(230, 120, 30), globe},
        {"opera", QColor(200, 30, 50), letters("O")},
        {"safari", QColor(30, 130, 230), globe},
        {"camino", QColor(140, 90, 60), globe},
        {"omniweb", QColor(90, 150, 60), globe},
        {"iCab", QColor(70, 110, 190), letters("iC")},
        {"netscape", QColor(20, 120, 130), letters("N")},
        {"flock", QColor(60, 160, 220), letters("F")},
        {"apple_menu", QColor(110, 110, 130),
         [](QPainter& p, const QRectF& r) {
             const qreal s = r.width();
             p.setPen(QPen(Qt::white, s * 0.07, Qt::SolidLine, Qt::RoundCap));
             for (int i = 0; i < 3; ++i)
                 p.drawLine(QPointF(r.left() + s * 0.26, r.top() + s * (0.32 + i * 0.18)),
                            QPointF(r.right() - s * 0.26, r.top() + s * (0.32 + i * 0.18)));
         }},
        {"diskutility", QColor(120, 130, 150),
         [](QPainter& p, const QRectF& r) { GlyphDisk(p, r, QColor(220, 224, 236), QColor(60, 230, 140)); }},
        {"finder", QColor(60, 140, 230),
         [](QPainter& p, const QRectF& r) {
             const qreal s = r.width();
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(220, 236, 255));
             p.drawRoundedRect(r.adjusted(s * 0.2, s * 0.2, -s * 0.2, -s * 0.2), s * 0.08, s * 0.08);
             p.setBrush(QColor(40, 90, 170));
             p.drawRect(QRectF(r.left() + s * 0.2, r.top() + s * 0.2, s * 0.6, s * 0.12));
         }},
        {"itunes", QColor(230, 70, 140),
         [](QPainter& p, const QRectF& r) {
             const qreal s = r.width();
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(r.left() + s * 0.38, r.top() + s * 0.68), s * 0.1, s * 0.08);
             p.drawEllipse(QPointF(r.left() + s * 0.64, r.top() + s * 0.62), s * 0.1, s * 0.08);
             p.setPen(QPen(Qt::white, s * 0.05));
             p.drawLine(QPointF(r.left() + s * 0.47, r.top() + s * 0.68),
                        QPointF(r.left() + s * 0.47, r.top() + s * 0.3));
             p.drawLine(QPointF(r.left() + s * 0.73, r.top() + s * 0.62),
                        QPointF(r.left() + s * 0.73, r.top() + s * 0.24));
             p.drawLine(QPointF(r.left() + s * 0.47, r.top() + s * 0.3),
                        QPointF(r.left() + s * 0.73, r.top() + s * 0.24));
         }},
        {"quicktime", QColor(50, 110, 200), [](QPainter& p, const QRectF& r) { GlyphPlay(p, r, Qt::white, true); }},
        {"preview", QColor(80, 150, 210),
         [](QPainter& p, const QRectF& r) {
             const qreal s = r.width();
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawRoundedRect(r.adjusted(s * 0.18, s * 0.24, -s * 0.18, -s * 0.24), s * 0.05, s * 0.05);
             p.setBrush(QColor(60, 170, 90));
             QPainterPath hill;
             hill.moveTo(r.left() + s * 0.22, r.bottom() - s * 0.28);
             hill.lineTo(r.left() + s * 0.42, r.top() + s * 0.46);
             hill.lineTo(r.left() + s * 0.56, r.top() + s * 0.6);
             hill.lineTo(r.left() + s * 0.66, r.top() + s * 0.5);
             hill.lineTo(r.right() - s * 0.22, r.bottom() - s * 0.28);
             hill.closeSubpath();
             p.drawPath(hill);
             p.setBrush(QColor(250, 200, 60));
             p.drawEllipse(QPointF(r.right() - s * 0.3, r.top() + s * 0.36), s * 0.05, s * 0.05);
         }},
        {"calculator", QColor(80, 80, 96),
         [](QPainter& p, const QRectF& r) {
             const qreal s = r.width();
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 9; ++i) {
                 p.setBrush(i % 3 == 2 ? QColor(250, 160, 40) : QColor(220, 220, 230));
                 p.drawEllipse(QPointF(r.left() + s * (0.3 + 0.2 * (i % 3)), r.top() + s * (0.3 + 0.2 * (i / 3))),
                               s * 0.07, s * 0.07);
             }
         }},
        {"notes", QColor(240, 200, 60),
         [](QPainter& p, const QRectF& r) { GlyphDocument(p, r, Qt::white, QColor(200, 160, 40), false); }},
        {"iphotos", QColor(240, 240, 246),
         [](QPainter& p, const QRectF& r) {
             const QColor petals[] = {QColor(250, 90, 80),  QColor(250, 170, 50), QColor(250, 220, 60),
                                      QColor(110, 200, 90), QColor(60, 170, 230), QColor(140, 100, 220)};
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 6; ++i) {
                 p.save();
                 p.translate(r.center());
                 p.rotate(i * 60);
                 QColor c = petals[i];
                 c.setAlpha(210);
                 p.setBrush(c);
                 p.drawEllipse(QRectF(-r.width() * 0.1, -r.height() * 0.34, r.width() * 0.2, r.height() * 0.3));
                 p.restore();
             }
         }},
        {"messages", QColor(60, 200, 90), bubble("", Qt::white)},
        {"skype", QColor(0, 160, 230), bubble("S", QColor(0, 140, 210))},
        {"adium", QColor(90, 170, 80), bubble("A", QColor(70, 140, 60))},
        {"icq", QColor(110, 190, 60), bubble("ICQ", QColor(80, 150, 40))},
        {"vlc", QColor(240, 130, 20), [](QPainter& p, const QRectF& r) { GlyphPlay(p, r, Qt::white, false); }},
        {"adobe_flash_player", QColor(200, 40, 40), letters("F")},
        {"mplayer", QColor(60, 70, 90), [](QPainter& p, const QRectF& r) { GlyphPlay(p, r, Qt::white, true); }},
        {"mac_application", QColor(110, 110, 130), letters("Ap")},
        {"chat_application", QColor(60, 180, 110), bubble("", Qt::white)},
        {"other_application", QColor(150, 110, 200),
         [](QPainter& p, const QRectF& r) { GlyphPlay(p, r, Qt::white, true); }},
        {"profile_users", QColor(90, 120, 170), [](QPainter& p, const QRectF& r) { GlyphUser(p, r, Qt::white); }},
    };
    for (const App& app : apps) {
        Save(QStringLiteral("Applications/") + QLatin1String(app.file) + QStringLiteral(".png"), 64, 64,
             [&](QPainter& p, const QRectF& r) { AppTile(p, r, app.colour, app.glyph); });
    }
    Save(QStringLiteral("Applications/img_Folder.png"), 64, 64,
         [](QPainter& p, const QRectF& r) { GlyphFolder(p, r, QColor(246, 190, 72)); });
}

void CertificateArtwork()
{
    Save(QStringLiteral("CertificateLogo/left-logo.png"), 130, 144,
         [](QPainter& p, const QRectF& r) { Logo(p, r.adjusted(0, 4, 0, -4)); });
    Save(QStringLiteral("CertificateLogo/right-logo.png"), 130, 144, [](QPainter& p, const QRectF& r) {
        // A rosette seal: the certificate's mark of a completed erasure.
        const QPointF o(r.center().x(), r.top() + 60);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(34, 104, 178));
        for (int side : {-1, 1}) {
            QPainterPath ribbon;
            ribbon.moveTo(o + QPointF(side * 10, 20));
            ribbon.lineTo(o + QPointF(side * 34, 78));
            ribbon.lineTo(o + QPointF(side * 20, 70));
            ribbon.lineTo(o + QPointF(side * 12, 82));
            ribbon.lineTo(o + QPointF(side * -4, 24));
            ribbon.closeSubpath();
            p.drawPath(ribbon);
        }
        QPainterPath star;
        for (int i = 0; i < 48; ++i) {
            const qreal a = i * M_PI / 24;
            const qreal rad = (i % 2) ? 52 : 57;
            const QPointF pt = o + QPointF(qCos(a) * rad, qSin(a) * rad);
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        QRadialGradient g(o - QPointF(10, 12), 70);
        g.setColorAt(0, QColor(110, 190, 250));
        g.setColorAt(1, QColor(34, 104, 178));
        p.setBrush(g);
        p.drawPath(star);
        p.setPen(QPen(QColor(255, 255, 255, 200), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(o, 42, 42);
        p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(o + QPointF(-18, 2), o + QPointF(-5, 15));
        p.drawLine(o + QPointF(-5, 15), o + QPointF(20, -14));
    });
}

void UpdateArtwork()
{
    // The update windows' button faces: Update in the accent colour, Cancel and OK in grey.
    WideButton(QStringLiteral("UpdateWizard/img_ActiveSmall.png"), 128, 64, QColor(84, 172, 240), QColor(34, 110, 188));
    WideButton(QStringLiteral("UpdateWizard/img_NotActiveSmall.png"), 128, 64, QColor(124, 124, 142),
               QColor(78, 78, 94));
    Save(QStringLiteral("UpdateWizard/img_SoftwareUpdate.png"), 128, 128, [](QPainter& p, const QRectF& r) {
        const QRectF c = r.adjusted(8, 8, -8, -8);
        QRadialGradient g(c.center() - QPointF(0, 20), 80);
        g.setColorAt(0, QColor(110, 190, 250));
        g.setColorAt(1, QColor(34, 104, 178));
        p.setPen(QPen(QColor(255, 255, 255, 150), 3));
        p.setBrush(g);
        p.drawEllipse(c);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        QPainterPath arrow;
        const QPointF o = c.center();
        arrow.moveTo(o + QPointF(-10, -34));
        arrow.lineTo(o + QPointF(10, -34));
        arrow.lineTo(o + QPointF(10, 2));
        arrow.lineTo(o + QPointF(26, 2));
        arrow.lineTo(o + QPointF(0, 30));
        arrow.lineTo(o + QPointF(-26, 2));
        arrow.lineTo(o + QPointF(-10, 2));
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.drawRoundedRect(QRectF(o.x() - 30, o.y() + 34, 60, 6), 3, 3);
    });
}

void SplashArtwork()
{
    Save(QStringLiteral("ProcessImage/img_Splash.png"), 480, 320, [](QPainter& p, const QRectF& r) {
        // Flat below the title, where the start-up animation (drawn on kSplashBody) sits.
        QLinearGradient g(r.topLeft(), QPointF(r.left(), 200));
        g.setColorAt(0, QColor(74, 74, 92));
        g.setColorAt(1, kSplashBody);
        p.fillRect(r, g);
        // Soft streaks on both sides of the mark: data being wiped away.
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 5; ++i) {
            p.setBrush(QColor(255, 255, 255, 8 + (i % 3) * 5));
            p.drawRoundedRect(QRectF(-40 + i * 18, 52 + i * 16, 170 - i * 22, 6), 3, 3);
            p.drawRoundedRect(QRectF(350 - i * 14, 60 + i * 15, 170, 6), 3, 3);
        }
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        Logo(p, QRectF(190, 34, 100, 100));
        p.setPen(Qt::white);
        p.setFont(Font(30, QFont::Bold));
        p.drawText(QRectF(0, 142, r.width(), 40), Qt::AlignCenter, QStringLiteral("Korvane File Eraser"));
        p.setPen(QColor(190, 190, 212));
        p.setFont(Font(13));
        p.drawText(QRectF(0, 184, r.width(), 22), Qt::AlignCenter,
                   QStringLiteral("Erase files, traces and free space beyond recovery"));
        p.setPen(QColor(140, 140, 162));
        p.setFont(Font(11));
        p.drawText(QRectF(0, 296, r.width() - 12, 18), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Version 5.0.0.0"));
    });
}

// Animation frames, drawn on the colour of the window that shows them (GIF has no soft edges).
void Frames(const QString& folder, const QString& name, int count, int w, int h, const QColor& background,
            const std::function<void(QPainter&, const QRectF&, qreal)>& paint)
{
    QDir().mkpath(folder + QLatin1Char('/') + name);
    for (int i = 0; i < count; ++i) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(background);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            paint(p, QRectF(0, 0, w, h), qreal(i) / count);
        }
        image.save(QStringLiteral("%1/%2/%3.png").arg(folder, name).arg(i, 3, 10, QLatin1Char('0')), "PNG");
    }
}

void AnimationFrames(const QString& folder)
{
    // Start-up: twelve dots in a ring, a bright head sweeping round.
    Frames(folder, QStringLiteral("img_InitProgress"), 24, 48, 48, kSplashBody,
           [](QPainter& p, const QRectF& r, qreal t) {
               const int dots = 12;
               for (int i = 0; i < dots; ++i) {
                   const qreal a = 2 * M_PI * i / dots - M_PI / 2;
                   qreal age = t * dots - i;
                   while (age < 0)
                       age += dots;
                   const qreal light = qMax<qreal>(0.15, 1.0 - age / 8.0);
                   p.setPen(Qt::NoPen);
                   p.setBrush(Mix(kSplashBody, QColor(110, 190, 250), light));
                   p.drawEllipse(r.center() + QPointF(qCos(a) * 17, qSin(a) * 17), 3.4, 3.4);
               }
           });
    // Search progress: a light band travelling along a track.
    Frames(folder, QStringLiteral("progress"), 30, 220, 14, kBody, [](QPainter& p, const QRectF& r, qreal t) {
        const QRectF track = r.adjusted(1, 3, -1, -3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 70, 84));
        p.drawRoundedRect(track, 4, 4);
        const qreal x = -70 + t * (track.width() + 70);
        QLinearGradient g(x, 0, x + 70, 0);
        g.setColorAt(0, QColor(62, 150, 222, 0));
        g.setColorAt(0.5, QColor(110, 190, 250));
        g.setColorAt(1, QColor(62, 150, 222, 0));
        p.setBrush(g);
        p.setClipRect(track);
        p.drawRoundedRect(QRectF(x, track.top(), 70, track.height()), 4, 4);
    });
    // Busy window: a magnifier gliding over a page of text.
    Frames(folder, QStringLiteral("SearchScan"), 32, 96, 96, kBody, [](QPainter& p, const QRectF& r, qreal t) {
        GlyphDocument(p, r, QColor(240, 240, 248), QColor(150, 160, 186), false);
        const qreal a = 2 * M_PI * t;
        const QPointF centre = r.center() + QPointF(qCos(a) * 14, qSin(a) * 10 + 4);
        const qreal s = 56;
        GlyphMagnifier(p, QRectF(centre.x() - s * 0.43, centre.y() - s * 0.43, s, s), kAccent);
    });
}

void HelpImages(const QString& folder)
{
    QDir().mkpath(folder);
    const QString saved = g_out;
    g_out = folder;
    Save(QStringLiteral("logo.png"), 96, 96, [](QPainter& p, const QRectF& r) { Logo(p, r); });
    g_out = saved;
}

void EulaPdf(const QString& textPath, const QString& pdfPath)
{
    QFile file(textPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(textPath));
    QTextStream in(&file);
    in.setCodec("UTF-8");
    const QStringList lines = in.readAll().split(QLatin1Char('\n'));

    QString html = QStringLiteral("<html><body style=\"font-family:'DejaVu Sans'; font-size:10pt;\">");
    bool first = true;
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QString escaped = trimmed.toHtmlEscaped();
        if (first) {
            html += QStringLiteral("<h1 style=\"color:#22689e; font-size:18pt;\">") + escaped + QStringLiteral("</h1>");
            first = false;
        } else if (trimmed == trimmed.toUpper() && trimmed.size() < 80) {
            html += QStringLiteral("<h3 style=\"color:#22689e; font-size:12pt;\">") + escaped + QStringLiteral("</h3>");
        } else {
            html += QStringLiteral("<p style=\"margin-bottom:6px;\">") + escaped + QStringLiteral("</p>");
        }
    }
    html += QStringLiteral("</body></html>");

    QPdfWriter writer(pdfPath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Korvane File Eraser - End-User Licence Agreement"));
    writer.setCreator(QStringLiteral("Korvane File Eraser"));
    writer.setResolution(300);
    QTextDocument document;
    document.setHtml(html);
    document.print(&writer); // lays the text out on the writer's pages at its resolution
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        qWarning("usage: kvartwork <images> <frames> <Eula.txt> <Eula.pdf> <help images>");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    TitleBarArtwork();
    HomeScreenArtwork();
    ButtonArtwork();
    MessageArtwork();
    ScrollArtwork();
    TracesArtwork();
    ApplicationArtwork();
    CertificateArtwork();
    UpdateArtwork();
    SplashArtwork();
    AnimationFrames(QString::fromLocal8Bit(argv[2]));
    EulaPdf(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    HelpImages(QString::fromLocal8Bit(argv[5]));
    return 0;
}
