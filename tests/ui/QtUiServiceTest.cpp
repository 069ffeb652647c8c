#include "ui/QtUiService.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace talor;

namespace {

struct FilterCase
{
    const char* suite;
    const char* qt;
};

class FilterTest : public ::testing::TestWithParam<FilterCase>
{};

TEST_P(FilterTest, SuiteFilterBecomesQtFilter)
{
    EXPECT_EQ(QtUiService::qtFilter(QString::fromUtf8(GetParam().suite)).toStdString(), GetParam().qt);
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterTest,
                         ::testing::Values(FilterCase{"EXCEL FILE(*.xls)|*.xls|VTS FILE(*.vts)|*.vts",
                                                      "EXCEL FILE(*.xls);;VTS FILE(*.vts)"},
                                           FilterCase{"模板|*.vts", "模板 (*.vts)"},
                                           FilterCase{"图片|*.bmp;*.png", "图片 (*.bmp *.png)"},
                                           FilterCase{"", ""}, FilterCase{"*.xls", "*.xls"}));

// Presses the button with `role` of the message box that opens next.
void answerNextBox(QMessageBox::StandardButton button, QString* title)
{
    QTimer::singleShot(0, [button, title] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        *title = box->windowTitle();
        box->button(button)->click();
    });
}

TEST(QtUiServiceTest, MessageBoxesAnswerWithTheButtonPressed)
{
    QtUiService ui;
    QString title;
    answerNextBox(QMessageBox::Cancel, &title);
    EXPECT_EQ(ui.message(nullptr, "资料已变动,真的放弃保存?", UiService::Buttons::OkCancel, "系统提示"),
              UiService::Answer::Cancel);
    EXPECT_EQ(title, "系统提示");
    answerNextBox(QMessageBox::Yes, &title);
    EXPECT_EQ(ui.message(nullptr, "?", UiService::Buttons::YesNo, "t"), UiService::Answer::Yes);
    QApplication::setApplicationDisplayName("考勤日报");
    answerNextBox(QMessageBox::Ok, &title);
    EXPECT_EQ(ui.message(nullptr, "保存完毕"), UiService::Answer::Ok);
    EXPECT_EQ(title, "考勤日报");
}

TEST(QtUiServiceTest, DialogsRunModallyAndReturnTheirResult)
{
    QtUiService ui;
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(7); });
    EXPECT_EQ(ui.execDialog(dialog), 7);
}

} // namespace
