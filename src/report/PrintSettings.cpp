#include "report/PrintSettings.h"

#include "modulesettings/ModuleSettings.h"
#include "sheet/PeriodBlock.h"
#include "sheet/SheetLayout.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <cmath>

namespace talor {

namespace {

constexpr double PointsPerInch = 72;
// Excel's xlAutomatic, the first page number that counts from 1.
constexpr int Automatic = -4105;

bool isWhole(double value, double low, double high)
{
    return std::isfinite(value) && value == std::floor(value) && value >= low && value <= high;
}

} // namespace

PrintSettings::PrintSettings(SuiteServices& suite) : m_suite(suite) {}

QString PrintSettings::read(const keys::SettingsKey& key) const
{
    return ModuleSettings(m_suite).read(key);
}

QString PrintSettings::centerFooter() const
{
    // The names are printed as they are: an "&" in them is not the start of a code.
    const auto literal = [](QString name) {
        return name.replace(u'&', QStringLiteral("&&"));
    };
    const QString value = read(keys::CenterFooter);
    const QString organisation = literal(m_suite.organisationName());
    if (!value.isEmpty())
        return organisation + u"     " + value;
    return organisation + u"     制表人: " + literal(m_suite.operatorName()) + u"     审核人: " + u"________";
}

void PrintSettings::applyKeys(print::PageSetup& setup, QStringList& refused) const
{
    using print::PageSetup;
    // Named without the key's leading dot: "Orientation=3: not accepted".
    auto refuse = [&](const keys::SettingsKey& key, const QString& value, const char* why) {
        refused << QStringLiteral("%1=%2: %3").arg(QLatin1String(key.suffix + 1), value, QLatin1String(why));
    };
    auto text = [&](const keys::SettingsKey& key, QString PageSetup::*field) {
        if (const QString value = read(key); !value.isEmpty())
            setup.*field = value;
    };
    auto inches = [&](const keys::SettingsKey& key, double PageSetup::*field) {
        const QString value = read(key);
        if (value.isEmpty())
            return;
        const double points = text::numericValue(value) * PointsPerInch;
        if (!std::isfinite(points) || points < 0)
            refuse(key, value, "not a margin");
        else
            setup.*field = points;
    };
    auto switchOn = [&](const keys::SettingsKey& key, bool PageSetup::*field) {
        setup.*field = read(key) == u"True";
    };
    // A number key: `apply` gets the leading number and says whether it took it.
    auto number = [&](const keys::SettingsKey& key, const auto& apply) {
        const QString value = read(key);
        if (!value.isEmpty() && !apply(text::numericValue(value)))
            refuse(key, value, "not accepted");
    };

    text(keys::LeftHeader, &PageSetup::leftHeader);
    text(keys::CenterHeader, &PageSetup::centerHeader);
    text(keys::RightHeader, &PageSetup::rightHeader);
    text(keys::LeftFooter, &PageSetup::leftFooter);
    setup.centerFooter = centerFooter();
    text(keys::RightFooter, &PageSetup::rightFooter);
    inches(keys::LeftMargin, &PageSetup::leftMargin);
    inches(keys::RightMargin, &PageSetup::rightMargin);
    inches(keys::TopMargin, &PageSetup::topMargin);
    inches(keys::BottomMargin, &PageSetup::bottomMargin);
    inches(keys::HeaderMargin, &PageSetup::headerMargin);
    inches(keys::FooterMargin, &PageSetup::footerMargin);
    switchOn(keys::PrintHeadings, &PageSetup::printHeadings);
    switchOn(keys::PrintGridLines, &PageSetup::printGridLines);
    number(keys::PrintComments, [&](double v) {
        setup.printComments = v;
        return std::isfinite(v);
    });
    number(keys::PrintQuality, [&](double v) {
        setup.printQuality = v;
        return std::isfinite(v);
    });
    switchOn(keys::CenterHorizontally, &PageSetup::centerHorizontally);
    switchOn(keys::CenterVertically, &PageSetup::centerVertically);
    number(keys::Orientation, [&](double v) {
        if (v != 1 && v != 2)
            return false;
        setup.orientation = v == 1 ? print::Orientation::Portrait : print::Orientation::Landscape;
        return true;
    });
    switchOn(keys::Draft, &PageSetup::draft);
    number(keys::PaperSize, [&](double v) { return isWhole(v, 1, 255) && setup.setPaperSize(int(v)); });
    number(keys::FirstPageNumber, [&](double v) {
        if (v == Automatic)
            setup.firstPageNumber.reset();
        else if (isWhole(v, 0, 65535))
            setup.firstPageNumber = int(v);
        else
            return false;
        return true;
    });
    number(keys::Order, [&](double v) {
        if (v != 1 && v != 2)
            return false;
        setup.order = v == 1 ? print::PageOrder::DownThenOver : print::PageOrder::OverThenDown;
        return true;
    });
    switchOn(keys::BlackAndWhite, &PageSetup::blackAndWhite);
    const bool zoomGiven = !read(keys::Zoom).isEmpty();
    number(keys::Zoom, [&](double v) {
        // 0 is a spreadsheet's Zoom = False: the fit keys decide the scale.
        if (v == 0) {
            setup.fitToPages = true;
            return true;
        }
        if (!isWhole(v, 10, 400))
            return false;
        setup.zoom = int(v);
        setup.fitToPages = false;
        return true;
    });
    auto pages = [&](int PageSetup::*field) {
        return [&setup, field, zoomGiven](double v) {
            if (!isWhole(v, 0, 32767))
                return false;
            setup.*field = int(v);
            if (!zoomGiven)
                setup.fitToPages = true;
            return true;
        };
    };
    number(keys::FitToPagesWide, pages(&PageSetup::fitToPagesWide));
    number(keys::FitToPagesTall, pages(&PageSetup::fitToPagesTall));
}

ReportPrintSetup PrintSettings::build(bool headingLayout, int lastColumn, int lastRow,
                                      const QStringList& headings) const
{
    ReportPrintSetup result;
    print::PageSetup& setup = result.pageSetup;
    applyKeys(setup, result.refused);
    QString area;
    // The period report holds a block per person, each with its own header: the first block's
    // header over every page would put the next persons' rows under the first person's name.
    // Each block starts a page: under the heading row in the heading layout, and repeating its
    // own header on a further page in the cell layout.
    const bool blocks = m_suite.reportOption() == QLatin1String("3");
    if (headingLayout) {
        for (int c = 1; c <= lastColumn; ++c)
            result.headingRow << headings.value(c - 1);
        area = text::PrintArea(lastColumn, lastRow + 1);
        setup.centerHeader = QStringLiteral("&\"宋体,加粗\"&16&A");
        setup.setTitleRows(QStringLiteral("$1:$1"));
        if (blocks)
            setup.sectionRows = PeriodBlock::Rows;
    } else {
        area = text::PrintArea(lastColumn, lastRow);
        setup.centerHeader.clear();
        setup.setTitleRows(QStringLiteral("$1:$4"));
        if (blocks) {
            setup.titleRows.reset();
            setup.sectionRows = PeriodBlock::Rows;
            setup.sectionTitleRows = PeriodBlock::HeaderRows;
        }
    }
    if (!setup.setPrintArea(area))
        result.refused << QStringLiteral("print area %1: not a range of the sheet").arg(area);
    return result;
}

} // namespace talor
