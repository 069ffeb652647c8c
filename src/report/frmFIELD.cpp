#include "report/frmFIELD.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

namespace talor {

namespace {

// The picker's picture: a label tag, drawn rather than shipped as a file.
QPixmap pickerPicture()
{
    QPixmap picture(40, 40);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2b, 0x5d, 0x9c));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 8, 32, 24), 4, 4);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(11, 20), 3, 3);
    painter.fillRect(QRectF(17, 15, 14, 2), Qt::white);
    painter.fillRect(QRectF(17, 23, 10, 2), Qt::white);
    return picture;
}

} // namespace

frmFIELD::frmFIELD(SuiteServices& suite, TemplateDesigner& designer, QWidget* parent)
    : QDialog(parent), m_picker(suite), m_designer(designer)
{
    setObjectName(u"frmFIELD"_qs);
    buildControls();
    // Load, then Activate.
    m_list->addItems(m_picker.entries());
    m_options[size_t(int(m_picker.remembered()) - 1)]->setChecked(true);
    setWindowTitle(m_picker.caption());
}

void frmFIELD::buildControls()
{
    m_list = new QListWidget(this);
    m_list->setObjectName(u"List1"_qs);
    m_list->setMinimumSize(200, 280);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { chooseEntry(m_list->row(item)); });

    auto* side = new QVBoxLayout;
    m_image = new QLabel(this);
    m_image->setObjectName(u"Image1"_qs);
    m_image->setPixmap(pickerPicture());
    m_image->installEventFilter(this);
    side->addWidget(m_image);
    const char* captions[3] = {"更新单元", "更新列头", "更新行头"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(captions[i]), this);
        option->setObjectName(u"Option"_qs + QString::number(i + 1));
        const auto target = PickTarget(i + 1);
        connect(option, &QRadioButton::clicked, this, [this, target] {
            // Only a remembered default: a write that fails is not worth a message.
            try {
                m_picker.remember(target);
            } catch (const std::exception&) {
            }
        });
        side->addWidget(option);
        m_options[size_t(i)] = option;
    }
    side->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);
}

PickTarget frmFIELD::target() const
{
    for (int i = 0; i < 3; ++i)
        if (m_options[size_t(i)]->isChecked())
            return PickTarget(i + 1);
    return PickTarget::Cell;
}

void frmFIELD::chooseEntry(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    m_designer.pick(m_list->item(row)->text(), target());
    accept();
}

bool frmFIELD::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on a label chooses it, as a double-click does.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseEntry(m_list->currentRow());
            return true;
        }
    }
    // A hidden switch: a write that fails is not reported.
    if (watched == m_image && event->type() == QEvent::MouseButtonDblClick) {
        try {
            m_picker.hideForReport();
        } catch (const std::exception&) {
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace talor
