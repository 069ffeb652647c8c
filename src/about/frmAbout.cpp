#include "about/frmAbout.h"

#include "modulesettings/ModuleSettings.h"
#include "modulesettings/SupervisorCheck.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace talor {

namespace {

// The About picture, drawn rather than shipped as a file: the module's initials on a calendar.
QPixmap aboutPicture(QFont font)
{
    QPixmap picture(112, 112);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 112);
    sky.setColorAt(0, QColor(0x2b, 0x5d, 0x9c));
    sky.setColorAt(1, QColor(0x17, 0x33, 0x5a));
    painter.setBrush(sky);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 104, 104), 14, 14);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(22, 30, 68, 58), 6, 6);
    painter.setBrush(QColor(0xd9, 0x4f, 0x3d));
    painter.drawRect(QRectF(22, 30, 68, 14));
    painter.setPen(QColor(0x17, 0x33, 0x5a));
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(22, 44, 68, 44), Qt::AlignCenter, u"TALOR"_qs);
    return picture;
}

// The version, the day it was built (the compiler's date, which SOURCE_DATE_EPOCH fixes for
// reproducible builds) and the licence.
QString versionText()
{
    const QDate built = QDate::fromString(QString::fromLatin1(__DATE__).simplified(), u"MMM d yyyy"_qs);
    return u"版本 %1，构建于 %2，按 MIT 许可证发布"_qs.arg(QStringLiteral(TALOR_VERSION),
                                                           built.toString(Qt::ISODate));
}

} // namespace

frmAbout::frmAbout(SuiteServices& suite, UiService& ui, std::function<void()> openSetup, QWidget* parent)
    : QDialog(parent), m_suite(suite), m_ui(ui), m_openSetup(std::move(openSetup))
{
    setObjectName(u"frmAbout"_qs);
    setWindowTitle(u"关于TALOR.DLL"_qs);
    buildControls();

    // The suite's contact text sits under the picture's tooltip; it comes from the second file.
    // An unreadable second file leaves the text empty, as a missing setting does.
    try {
        m_picture->setToolTip(ModuleSettings(suite).readSecond(keys::Connection));
    } catch (const SuiteError&) {
    }
}

void frmAbout::buildControls()
{
    auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };

    m_picture = label(u"Image1"_qs, QString());
    m_picture->setPixmap(aboutPicture(font()));
    m_picture->setAlignment(Qt::AlignTop);
    m_picture->installEventFilter(this);

    m_shortName = label(u"Label4"_qs, u"TALOR"_qs);
    QFont larger = font();
    larger.setPointSizeF(larger.pointSizeF() * 1.4);
    larger.setBold(true);
    m_shortName->setFont(larger);
    m_shortName->installEventFilter(this);

    auto* text = new QVBoxLayout;
    text->addWidget(label(u"Label1"_qs, u"TALOR 开源小组 —— 一个向所有程序员开放的编程俱乐部。"_qs));
    text->addWidget(label(u"Label2"_qs, u"TALOR.DLL 由 TALOR 开源小组的考勤模块维护者开发。"_qs));
    text->addWidget(label(u"Label3"_qs, u"本模块供 TALOR 开源小组全体成员自由使用。"_qs));
    text->addSpacing(8);
    text->addWidget(m_shortName);
    text->addWidget(label(u"Label5"_qs, u"2002-03-29"_qs));
    text->addWidget(label(u"Label6"_qs, versionText()));
    text->addStretch(1);

    auto* body = new QHBoxLayout;
    body->addWidget(m_picture);
    body->addSpacing(12);
    body->addLayout(text, 1);

    auto* advanced = new QPushButton(u"&S 高级"_qs, this);
    advanced->setObjectName(u"Command1"_qs);
    auto* close = new QPushButton(u"&E 退出"_qs, this);
    close->setObjectName(u"Command2"_qs);
    close->setDefault(true);
    connect(advanced, &QPushButton::clicked, this, &frmAbout::onAdvanced);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(advanced);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease)
        writeHandOff(u"NO"_qs);
    else if (watched == m_shortName && event->type() == QEvent::MouseButtonDblClick)
        writeHandOff(u"YES"_qs);
    return QDialog::eventFilter(watched, event);
}

void frmAbout::writeHandOff(const QString& value)
{
    // A hidden switch: a write that fails is not reported.
    try {
        ModuleSettings settings(m_suite);
        settings.write(keys::EmployeeFileUse, value);
    } catch (const SuiteError&) {
    }
}

void frmAbout::onAdvanced()
{
    // A failed check does nothing and says nothing; the About box stays open either way. A
    // failing settings read or set-up load is shown here: it must not leave through the
    // button's signal.
    try {
        if (supervisorCheck(m_suite, LockRule::Positive) && m_openSetup)
            m_openSetup();
    } catch (const std::exception& error) {
        m_ui.message(this, QString::fromUtf8(error.what()));
    }
}

void frmAbout::done(int result)
{
    // Closing the About box must not make the main window lay itself out again.
    if (m_suite.refreshFlag() != 0)
        m_suite.setRefreshFlag(2);
    QDialog::done(result);
}

} // namespace talor
