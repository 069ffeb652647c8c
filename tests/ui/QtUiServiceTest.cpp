#include "ui/QtUiService.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "support/ErrorText.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace talor;

namespace {

// Qt's standard buttons speak Chinese, as the rest of the window does, whatever the locale; so
// do the module's own words in its error messages, what the database said following them.
TEST(QtUiServiceTest, QtsAndTheModulesOwnTextsAreChinese)
{
    ASSERT_TRUE(QtUiService::installChineseTranslations()) << "qt6-translations-l10n is installed";
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QStringList texts;
    for (const auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        texts << box.button(button)->text();
    EXPECT_EQ(texts.join(u'|'), QString::fromUtf8("是(&Y)|否(&N)|取消"));
    QTemporaryDir dir;
    const QString message = test::errorText<DatabaseError>([&] {
        Recordset().open(QStringLiteral("select * from 不存在的表"),
                         Connections::openSqlite(QStringLiteral("translated"), dir.filePath("t.db")));
    });
    EXPECT_TRUE(message.startsWith(QString::fromUtf8("语句执行失败: ")) && message.contains("no such table"))
        << message.toStdString();
    Connections::remove(QStringLiteral("translated"));
}

// Acts on the dialog of type D that opens next.
template <typename D> void onNextDialog(std::function<void(D*)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no " << D::staticMetaObject.className() << " opened";
            if (QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
        act(dialog);
    });
}

TEST(QtUiServiceTest, MessageBoxesAnswerWithTheButtonPressedAndColoursConvertBetweenBgrAndRgb)
{
    QtUiService ui;
    QApplication::setApplicationDisplayName("考勤日报");
    using enum UiService::Buttons;
    using Answer = UiService::Answer;
    // The buttons, the one pressed and the title given; the answer, and the title and icon shown.
    // A name in a message shows as written, never as markup.
    // clang-format off
    const struct { UiService::Buttons buttons; QMessageBox::StandardButton pressed; const char* title;
                   UiService::Answer answer; const char* shownTitle; QMessageBox::Icon icon; } cases[] = {
        {OkCancel, QMessageBox::Cancel, "系统提示", Answer::Cancel, "系统提示", QMessageBox::Question},
        {YesNo, QMessageBox::Yes, "t", Answer::Yes, "t", QMessageBox::Question},
        {Ok, QMessageBox::Ok, "", Answer::Ok, "考勤日报", QMessageBox::Information}};
    // clang-format on
    for (const auto& c : cases) {
        std::tuple<QString, QMessageBox::Icon, Qt::TextFormat> shown;
        onNextDialog<QMessageBox>([&](QMessageBox* box) {
            shown = {box->windowTitle(), box->icon(), box->textFormat()};
            box->button(c.pressed)->click();
        });
        EXPECT_EQ(ui.message(nullptr, "<s>生产部</s> 已删除", c.buttons, c.title), c.answer) << c.title;
        EXPECT_EQ(shown, std::tuple(QString(c.shownTitle), c.icon, Qt::PlainText)) << c.title;
    }

    // Colours are 0x00BBGGRR numbers in the suite, RGB in the dialog.
    QColor shown;
    onNextDialog<QColorDialog>([&shown](QColorDialog* dialog) {
        shown = dialog->currentColor();
        dialog->setCurrentColor(QColor(0x11, 0x22, 0x33));
        dialog->accept();
    });
    EXPECT_EQ(ui.chooseColour(nullptr, 0x00A0B0C0u), std::optional<quint32>(0x00332211u));
    EXPECT_EQ(shown, QColor(0xC0, 0xB0, 0xA0));
    onNextDialog<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(ui.chooseColour(nullptr, 0xFFFFFFu), std::nullopt);
}

// The file dialogs start in the folder with the preset name, offer the suite's filters, and
// answer with the chosen path or nothing when cancelled. A name without a suffix takes the
// chosen type's.
TEST(QtUiServiceTest, FileDialogsStartWhereAskedOfferTheSuitesFiltersAndAnswerThePathChosen)
{
    QTemporaryDir dir;
    QFile existing(dir.filePath("考勤日报1.vts"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    const QString filter = "VTS FILE(*.vts)|*.vts|EXCEL FILE(*.xlsx)|*.xlsx";
    const QStringList qtFilters{"VTS FILE(*.vts)", "EXCEL FILE(*.xlsx)"};
    QtUiService ui;
    QStringList seen; // folder, filters and preset of each dialog
    const auto choose = [&](const QString& type, const QString& name) {
        onNextDialog<QFileDialog>([&seen, type, name](QFileDialog* dialog) {
            seen << dialog->directory().absolutePath() << dialog->nameFilters()
                 << dialog->selectedFiles().value(0);
            dialog->selectNameFilter(type);
            dialog->selectFile(name);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own checks the choice
        });
    };
    choose(qtFilters[0], existing.fileName());
    EXPECT_EQ(ui.openFile(nullptr, filter, dir.path(), "考勤日报1.vts"), std::optional(existing.fileName()));
    choose(qtFilters[0], dir.filePath("新报表.vts"));
    EXPECT_EQ(ui.saveFile(nullptr, filter, dir.path(), "输出.vts"),
              std::optional(dir.filePath("新报表.vts")));
    choose(qtFilters[1], dir.filePath("日报"));
    EXPECT_EQ(ui.saveFile(nullptr, filter, dir.path()), std::optional(dir.filePath("日报.xlsx")));
    // Without a folder the preset name stands alone.
    for (bool save : {false, true}) {
        onNextDialog<QFileDialog>([&seen](QFileDialog* dialog) {
            seen << dialog->selectedFiles().value(0);
            dialog->reject();
        });
        EXPECT_EQ(save ? ui.saveFile(nullptr, filter, {}, "日报.vts")
                       : ui.openFile(nullptr, filter, {}, "日报.vts"),
                  std::nullopt);
    }
    const QString folder = QDir(dir.path()).absolutePath(),
                  alone = QDir::current().absoluteFilePath("日报.vts");
    // The first two dialogs' folder, filters and preset (the third's, 8 to 11, repeat the second's
    // but for its empty preset), then the preset standing alone in both dialogs without a folder.
    EXPECT_EQ(seen.mid(0, 8) + seen.mid(12),
              QStringList({folder, qtFilters[0], qtFilters[1], existing.fileName(), folder, qtFilters[0],
                           qtFilters[1], dir.filePath("输出.vts"), alone, alone}));
    // The suite's filters as Qt's.
    // clang-format off
    const std::pair<const char*, const char*> filters[] = {
        {"EXCEL FILE(*.xls)|*.xls|VTS FILE(*.vts)|*.vts", "EXCEL FILE(*.xls);;VTS FILE(*.vts)"},
        {"模板|*.vts", "模板 (*.vts)"}, {"图片|*.bmp;*.png", "图片 (*.bmp *.png)"}, {"", ""}, {"*.xls", "*.xls"},
        {"报表(新)文件|*.vts", "报表(新)文件 (*.vts)"}};
    // clang-format on
    for (const auto& [suite, qt] : filters)
        EXPECT_EQ(QtUiService::qtFilter(QString::fromUtf8(suite)), QString::fromUtf8(qt)) << suite;
}

// The progress window shows the label and the value, and its stop button stops the task; the
// print preview shows the pages the caller paints, in the caller's page layout.
TEST(QtUiServiceTest, ProgressStopsOnItsButtonAndThePreviewShowsThePaintedPages)
{
    QtUiService ui;
    {
        const auto progress = ui.progress(nullptr, "报表打印", "停止", 5);
        progress->setValue(5, "第 5/5 人");
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const auto* label = dialog->findChild<QLabel*>();
        const auto* stop = dialog->findChild<QPushButton*>();
        ASSERT_TRUE(label && stop);
        EXPECT_EQ(
            std::tuple(dialog->windowTitle(), dialog->labelText(), label->textFormat(), stop->text(),
                       dialog->value(), progress->cancelled()),
            std::tuple(QString("报表打印"), QString("第 5/5 人"), Qt::PlainText, QString("停止"), 5, false));
        dialog->cancel();
        EXPECT_TRUE(progress->cancelled());
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window closes with its object";

    std::tuple<int, QPageLayout::Orientation> pages;
    onNextDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog* dialog) {
        auto* view = dialog->findChild<QPrintPreviewWidget*>();
        view->updatePreview();
        pages = {view->pageCount(), dialog->printer()->pageLayout().orientation()};
        dialog->reject();
    });
    const QPageLayout landscape(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
    ui.preview(
        nullptr, "日报", landscape,
        [](QPagedPaintDevice& device) {
            QPainter painter(&device);
            device.newPage();
            device.newPage();
        },
        true);
    EXPECT_EQ(pages, std::tuple(3, QPageLayout::Landscape));
}

// A preview that may not print offers neither printing nor the page set-up; all else stays.
TEST(QtUiServiceTest, APreviewWithoutPrintingLacksPrintAndPageSetup)
{
    QtUiService ui;
    QStringList offered[2];
    for (const bool printable : {true, false}) {
        onNextDialog<QPrintPreviewDialog>([&, printable](QPrintPreviewDialog* dialog) {
            for (const QAction* action : dialog->findChildren<QAction*>())
                if (action->isVisible() && !action->text().isEmpty())
                    offered[printable ? 0 : 1] << action->text();
            dialog->reject();
        });
        ui.preview(
            nullptr, "日报", QPageLayout(), [](QPagedPaintDevice&) {}, printable);
    }
    for (const QString& text : offered[1])
        offered[0].removeOne(text);
    EXPECT_EQ(offered[0],
              QStringList({QPrintPreviewDialog::tr("Print"), QPrintPreviewDialog::tr("Page setup")}));
}

} // namespace
