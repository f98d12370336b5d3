#include "MessageBox.h"

#include "FramelessBehaviour.h"
#include "TestOverride.h"
#include "WindowPlacement.h"
#include "ui_MessageBox.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QQueue>

namespace {
QQueue<int>& QueuedAnswers()
{
    static QQueue<int> answers;
    return answers;
}
} // namespace

MessageBox::MessageBox(const QString& title, const QString& message, MessageIcon icon, ButtonRole buttons,
                       QWidget* parent)
    : QDialog(parent), ui(new Ui::MessageBox)
{
    FramelessBehaviour* frameless = FramelessBehaviour::Install(this);
    ui->setupUi(this);
    ui->TitleLabel->setText(title);
    ui->MessageString->setText(message);

    // The slots are filled from the right: Widget_1_Btn holds the last button.
    switch (buttons) {
    case OkCancel:
        m_okButton = AddButton(ui->Widget_2_Btn, QStringLiteral("OK"));
        m_cancelButton = AddButton(ui->Widget_1_Btn, QStringLiteral("Cancel"));
        break;
    case YesNo:
        m_yesButton = AddButton(ui->Widget_2_Btn, QStringLiteral("Yes"));
        m_noButton = AddButton(ui->Widget_1_Btn, QStringLiteral("No"));
        break;
    case YesNoCancel:
        m_yesButton = AddButton(ui->Widget_3_Btn, QStringLiteral("Yes"));
        m_noButton = AddButton(ui->Widget_2_Btn, QStringLiteral("No"));
        m_cancelButton = AddButton(ui->Widget_1_Btn, QStringLiteral("Cancel"));
        break;
    default:
        m_okButton = AddButton(ui->Widget_1_Btn, QStringLiteral("OK"));
        break;
    }
    if (m_okButton)
        connect(m_okButton, &QPushButton::clicked, this, &MessageBox::OnBTnClickedOk);
    if (m_cancelButton)
        connect(m_cancelButton, &QPushButton::clicked, this, &MessageBox::OnBTnClickedCancel);
    if (m_yesButton)
        connect(m_yesButton, &QPushButton::clicked, this, &MessageBox::OnBTnClickedYes);
    if (m_noButton)
        connect(m_noButton, &QPushButton::clicked, this, &MessageBox::OnBTnClickedNo);

    ui->IconLabel->setPixmap(QPixmap(icon == Warning ? QStringLiteral(":/images/images/Message/img_Warning.png")
                                                     : QStringLiteral(":/images/images/Message/img_Information.png")));
    GrowToMessage(this, ui->MessageString);

    // Return answers with the first button (OK or Yes), Escape with the one that dismisses
    // (Cancel, else No, else OK).
    QPushButton* first = m_okButton ? m_okButton : m_yesButton;
    QPushButton* dismiss = m_cancelButton ? m_cancelButton : m_noButton ? m_noButton : m_okButton;
    frameless->OnKey(Qt::Key_Return, [first] { first->click(); });
    frameless->OnKey(Qt::Key_Escape, [dismiss] { dismiss->click(); });
}

MessageBox::~MessageBox()
{
    delete ui;
}

QPushButton* MessageBox::AddButton(QWidget* slot, const QString& text)
{
    auto* button = new QPushButton(text, slot);
    button->setObjectName(text + QStringLiteral("_Btn"));
    button->setFixedSize(64, 32);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("border-image: url(:/images/images/ButtonImage/Small.png);"));
    slot->layout()->addWidget(button);
    return button;
}

int MessageBox::exec()
{
    int answer = -1;
    if (!QueuedAnswers().isEmpty()) {
        answer = QueuedAnswers().dequeue();
    } else {
        const QString fromEnvironment = TestOverride("KORVANE_MESSAGEBOX_ANSWER");
        bool ok = false;
        const int value = fromEnvironment.toInt(&ok);
        if (ok)
            answer = value;
    }
    if (answer < 0)
        return QDialog::exec();
    const QString shown = ui->TitleLabel->text() + QLatin1Char('|') + ui->MessageString->text();
    ShownForTests().append(shown);
    qInfo("message box answered %d: %s", answer, qPrintable(shown));
    setResult(answer);
    return answer;
}

void MessageBox::QueueAnswerForTests(int answer)
{
    QueuedAnswers().enqueue(answer);
}

QStringList& MessageBox::ShownForTests()
{
    static QStringList shown;
    return shown;
}

void MessageBox::OnBTnClickedOk()
{
    done(Ok);
}

void MessageBox::OnBTnClickedCancel()
{
    done(Cancel);
}

void MessageBox::OnBTnClickedYes()
{
    done(Yes);
}

void MessageBox::OnBTnClickedNo()
{
    done(No);
}
