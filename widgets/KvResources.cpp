#include "KvResources.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

static void InitKvResources()
{
    Q_INIT_RESOURCE(kvresources);
}

void KvEnsureResources()
{
    static const bool done = [] {
        InitKvResources();
        // The style sheets ask for "Helvetica Neue"; where it is missing, take its closest
        // relatives before the system's default sans-serif face.
        QFont::insertSubstitutions(QStringLiteral("Helvetica Neue"),
                                   {QStringLiteral("Helvetica"), QStringLiteral("Nimbus Sans"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)done;
}

QIcon KvApplicationIcon()
{
    KvEnsureResources();
    const QPixmap picture(QStringLiteral(":/images/images/TitleBar/AppIcon.png"));
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}
