#include "setup/frmYBXZ.h"

#include "db/Recordset.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace talor {

frmYBXZ::frmYBXZ(SuiteServices& suite, UiService& ui, Recordset& treeRecords1, Recordset& menuRecords,
                 QWidget* parent)
    : QDialog(parent), m_suite(suite), m_ui(ui), m_setup(suite, treeRecords1, menuRecords)
{
    setObjectName(u"frmYBXZ"_qs);
    setWindowTitle(u"组件初始化"_qs);
    buildControls();
    m_loaded = m_setup.load();
    showValues(m_loaded);
    m_loadedTable = suite.currentTable();
    m_loadedView = suite.viewName();
}

void frmYBXZ::reject()
{
    // Closed without OK: the session goes on with the table the load gave it, whatever was
    // clicked since.
    m_suite.setCurrentTable(m_loadedTable);
    m_suite.setViewName(m_loadedView);
    QDialog::reject();
}

bool frmYBXZ::eventFilter(QObject* watched, QEvent* event)
{
    // Enter or Space on a command moves it to the other list, as a double-click does, rather
    // than pressing OK.
    if (event->type() == QEvent::KeyPress && (watched == m_restricted || watched == m_offered)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            if (watched == m_restricted)
                moveItem(m_restricted, m_offered);
            else
                moveItem(m_offered, m_restricted);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QColor frmYBXZ::toQColor(quint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void frmYBXZ::buildControls()
{
    auto named = [](QWidget* widget, const QString& name) {
        widget->setObjectName(name);
        return widget;
    };

    m_tables = static_cast<QListWidget*>(named(new QListWidget(this), u"List5"_qs));
    m_restricted = static_cast<QListWidget*>(named(new QListWidget(this), u"List3"_qs));
    m_offered = static_cast<QListWidget*>(named(new QListWidget(this), u"List4"_qs));

    // A fixed-width font keeps the padded codes and the captions in columns.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamilies({fixed.family(), u"WenQuanYi Micro Hei Mono"_qs});
    m_tables->setFont(fixed);

    auto* tableColumn = new QVBoxLayout;
    tableColumn->addWidget(new QLabel(u"数 据 表:"_qs, this));
    tableColumn->addWidget(m_tables);

    auto* commandColumn = new QVBoxLayout;
    commandColumn->addWidget(new QLabel(u"限用菜单:"_qs, this));
    commandColumn->addWidget(m_restricted);
    commandColumn->addWidget(new QLabel(u"可选菜单:"_qs, this));
    commandColumn->addWidget(m_offered);

    // External modules: the menu name (Combo n) beside its toolbar caption (Text 3+n).
    auto* modules = new QGridLayout;
    modules->addWidget(new QLabel(u"外接模块:"_qs, this), 0, 0, 1, 2);
    for (int n = 1; n <= 7; ++n) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(u"Combo"_qs + QString::number(n));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumWidth(150);
        auto* caption = new QLineEdit(this);
        caption->setObjectName(u"Text"_qs + QString::number(3 + n));
        caption->setMaximumWidth(90);
        modules->addWidget(combo, n, 0);
        modules->addWidget(caption, n, 1);
        m_menus[n - 1] = combo;
        m_captions[n - 1] = caption;
    }
    modules->setRowStretch(8, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(tableColumn, 3);
    top->addLayout(commandColumn, 2);
    top->addLayout(modules, 4);

    // Abnormal colours: a swatch (Text16..Text18) and its pick button (Command2..Command4).
    auto* colours = new QHBoxLayout;
    colours->addWidget(new QLabel(u"异常颜色:"_qs, this));
    for (int n = 1; n <= 3; ++n) {
        auto* swatch = new QLineEdit(this);
        swatch->setObjectName(u"Text"_qs + QString::number(15 + n));
        swatch->setReadOnly(true);
        swatch->setFocusPolicy(Qt::NoFocus);
        swatch->setFixedWidth(60);
        swatch->setAutoFillBackground(true);
        auto* pick = new QPushButton(u"..."_qs, this);
        pick->setObjectName(u"Command"_qs + QString::number(1 + n));
        pick->setFixedWidth(32);
        connect(pick, &QPushButton::clicked, this, [this, n] { pickColour(n); });
        colours->addWidget(swatch);
        colours->addWidget(pick);
        m_swatches[n - 1] = swatch;
    }
    colours->addStretch(1);

    m_hideAtStart = new QCheckBox(u"以后不再显示此框"_qs, this);
    m_hideAtStart->setObjectName(u"Check1"_qs);
    m_blankZero = new QCheckBox(u"数字项空格替代零"_qs, this);
    m_blankZero->setObjectName(u"Check2"_qs);
    auto* ok = new QPushButton(u"&Y 确定"_qs, this);
    ok->setObjectName(u"Command1"_qs);
    ok->setDefault(true);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_hideAtStart);
    bottom->addWidget(m_blankZero);
    bottom->addStretch(1);
    bottom->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(colours);
    layout->addLayout(bottom);
    resize(720, 400);

    connect(m_tables, &QListWidget::itemClicked, this, &frmYBXZ::onTableClicked);
    connect(m_restricted, &QListWidget::itemDoubleClicked, this,
            [this] { moveItem(m_restricted, m_offered); });
    connect(m_offered, &QListWidget::itemDoubleClicked, this, [this] { moveItem(m_offered, m_restricted); });
    m_restricted->installEventFilter(this);
    m_offered->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &frmYBXZ::onOk);
}

void frmYBXZ::showValues(const SetupValues& values)
{
    m_tables->addItems(values.tables);
    m_tables->setCurrentRow(values.tableIndex);
    m_tables->setEnabled(values.tablesEnabled);
    for (int n = 0; n < 7; ++n) {
        m_menus[n]->addItems(values.menuNames);
        m_menus[n]->setCurrentIndex(-1);
        m_menus[n]->setEditText(values.menus[n]);
        m_captions[n]->setText(values.captions[n]);
    }
    for (int n = 1; n <= 3; ++n)
        setSwatch(n, values.colours[n - 1]);
    m_hideAtStart->setChecked(values.hideAtStart);
    m_blankZero->setChecked(values.blankZero);
    m_restricted->addItems(values.restricted);
    m_offered->addItems(values.offered);
}

SetupValues frmYBXZ::currentValues() const
{
    SetupValues values = m_loaded;
    values.tableIndex =
        m_tables->currentItem() && m_tables->currentItem()->isSelected() ? m_tables->currentRow() : -1;
    for (int n = 0; n < 7; ++n) {
        values.menus[n] = m_menus[n]->currentText();
        values.captions[n] = m_captions[n]->text();
    }
    values.colours = m_colours;
    values.hideAtStart = m_hideAtStart->isChecked();
    values.blankZero = m_blankZero->isChecked();
    values.restricted.clear();
    for (int i = 0; i < m_restricted->count(); ++i)
        values.restricted << m_restricted->item(i)->text();
    values.offered.clear();
    for (int i = 0; i < m_offered->count(); ++i)
        values.offered << m_offered->item(i)->text();
    return values;
}

void frmYBXZ::setSwatch(int n, quint32 colour)
{
    m_colours[n - 1] = colour;
    QLineEdit* swatch = m_swatches[n - 1];
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Base, toQColor(colour));
    palette.setColor(QPalette::Window, toQColor(colour));
    swatch->setPalette(palette);
}

void frmYBXZ::pickColour(int n)
{
    // A cancelled colour dialog keeps the swatch's colour.
    if (const auto colour = m_ui.chooseColour(this, m_colours[n - 1]))
        setSwatch(n, *colour & 0xFFFFFF);
}

void frmYBXZ::moveItem(QListWidget* from, QListWidget* to)
{
    QListWidgetItem* item = from->currentItem();
    if (!item || !item->isSelected())
        return;
    to->addItem(from->takeItem(from->row(item)));
}

void frmYBXZ::onTableClicked(QListWidgetItem* item)
{
    if (!item)
        return;
    try {
        m_setup.chooseTable(item->text());
    } catch (const SuiteError& error) {
        m_ui.message(this, error.message());
    }
}

void frmYBXZ::onOk()
{
    // A failing write leaves the dialog open, so the operator can try again or close it.
    try {
        const SetupValues values = currentValues();
        m_setup.save(values);
        // The table chosen by the keyboard as well as by a click is the session's from now on.
        if (values.tableIndex >= 0)
            m_setup.chooseTable(values.tables.at(values.tableIndex));
    } catch (const SuiteError& error) {
        m_ui.message(this, error.message());
        return;
    }
    accept();
}

} // namespace talor
