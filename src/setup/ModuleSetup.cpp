#include "setup/ModuleSetup.h"

#include "db/Recordset.h"
#include "modulesettings/ModuleSettings.h"
#include "modulesettings/SettingRules.h"
#include "suite/SuiteServices.h"

namespace talor {

namespace {

constexpr int CodeWidth = 6;

} // namespace

ModuleSetup::ModuleSetup(SuiteServices& suite, Recordset& treeRecords1, Recordset& menuRecords)
    : m_suite(suite), m_treeRecords1(treeRecords1), m_menuRecords(menuRecords)
{}

QStringList ModuleSetup::commandPool()
{
    return {u"调时"_qs, u"选定"_qs, u"编辑"_qs, u"保存"_qs, u"预览"_qs, u"打印"_qs, u"输出"_qs};
}

QString ModuleSetup::tableCode(const QString& item)
{
    return item.left(CodeWidth).trimmed();
}

QString ModuleSetup::tableCaption(const QString& item)
{
    return item.mid(CodeWidth).trimmed();
}

SetupValues ModuleSetup::load()
{
    SetupValues values;
    loadMenuNames(values);
    loadTables(values);
    selectCurrentTable(values);

    ModuleSettings settings(m_suite);
    for (int n = 1; n <= 7; ++n) {
        values.captions[n - 1] = settings.read(keys::ExternalCaption, n);
        values.menus[n - 1] = settings.read(keys::ExternalMenu, n);
    }
    for (int n = 1; n <= 3; ++n)
        values.colours[n - 1] = abnormalColourValue(settings.read(keys::AbnormalColour, n));

    values.hideAtStart = settings.read(keys::HideSetup) == u"YES";
    values.blankZero = settings.read(keys::ModuleBlankZero) == u"YES";

    const QString restricted = settings.read(keys::Restricted);
    for (const QString& command : commandPool())
        (isRestricted(restricted, command) ? values.restricted : values.offered) << command;

    values.tablesEnabled = m_suite.operatorName() == QLatin1String(TableOperator);
    m_loaded.clear();
    for (const auto& [key, value] : entries(values))
        m_loaded.insert(key, value);
    return values;
}

void ModuleSetup::loadMenuNames(SetupValues& values)
{
    m_menuRecords.close();
    m_menuRecords.open(u"select * from SYS02 order by cdxh"_qs, m_suite.connection());
    for (; !m_menuRecords.eof(); m_menuRecords.moveNext())
        values.menuNames << m_menuRecords.text(u"cdmc"_qs);
}

void ModuleSetup::loadTables(SetupValues& values)
{
    m_treeRecords1.close();
    m_treeRecords1.open(u"select * from zdb1 where parid=0 and proval='DATABASE'"_qs, m_suite.connection());
    if (m_treeRecords1.eof())
        return;
    const qlonglong parent = m_treeRecords1.value(u"proid"_qs).toLongLong();
    m_treeRecords1.close();
    m_treeRecords1.open(u"select * from zdb1 where parid="_qs + QString::number(parent),
                        m_suite.connection());
    for (; !m_treeRecords1.eof(); m_treeRecords1.moveNext()) {
        const QString caption = m_treeRecords1.text(u"proname"_qs);
        const QString code = m_treeRecords1.text(u"proval"_qs);
        // The suite's table lookup is consulted as the suite expects; its answer is not needed.
        m_suite.tableLookup(caption, QString());
        // Only attendance tables qualify: they carry a day and an employee number.
        if (m_suite.fieldCaption(u"zhdate"_qs, code).isEmpty() ||
            m_suite.fieldCaption(u"memberid"_qs, code).isEmpty())
            continue;
        values.tables << m_suite.pad(CodeWidth, code, u" "_qs) + caption;
    }
}

void ModuleSetup::selectCurrentTable(SetupValues& values)
{
    ModuleSettings settings(m_suite);
    m_suite.setCurrentTable(settings.read(keys::Table));
    if (m_suite.currentTable().isEmpty()) {
        // Nothing configured yet: propose the first table, when there is one.
        if (!values.tables.isEmpty()) {
            m_suite.setCurrentTable(tableCode(values.tables.first()));
            values.tableIndex = 0;
        }
        return;
    }
    const QString item =
        m_suite.pad(CodeWidth, m_suite.currentTable(), u" "_qs) + settings.read(keys::TableCaption);
    values.tableIndex = values.tables.indexOf(item);
}

QString ModuleSetup::chooseTable(const QString& item)
{
    // By the item's code: two tables of the catalogue may share a caption.
    const QString code = tableCode(item);
    m_suite.setCurrentTable(code);
    m_suite.setViewName(tableCaption(item));
    return code;
}

SuiteServices::SettingValues ModuleSetup::entries(const SetupValues& values) const
{
    ModuleSettings settings(m_suite);
    SuiteServices::SettingValues out;
    const auto add = [&](const keys::SettingsKey& key, const QString& value, int number = 0) {
        out.append({settings.name(key, number), value});
    };
    // Without a selected table the table setting stays as it is.
    if (values.tableIndex >= 0 && values.tableIndex < values.tables.size()) {
        const QString& item = values.tables.at(values.tableIndex);
        add(keys::Table, tableCode(item));
        add(keys::TableCaption, tableCaption(item));
    }
    add(keys::Restricted, values.restricted.join(QString()));
    for (int n = 1; n <= 7; ++n) {
        add(keys::ExternalCaption, values.captions[n - 1], n);
        add(keys::ExternalMenu, values.menus[n - 1], n);
    }
    for (int n = 1; n <= 3; ++n)
        add(keys::AbnormalColour, abnormalColourText(values.colours[n - 1]), n);
    add(keys::HideSetup, values.hideAtStart ? u"YES"_qs : u"NO"_qs);
    add(keys::ModuleBlankZero, values.blankZero ? u"YES"_qs : u"NO"_qs);
    return out;
}

void ModuleSetup::save(const SetupValues& values)
{
    ModuleSettings settings(m_suite);
    SuiteServices::SettingValues written;
    for (const auto& [key, value] : entries(values)) {
        // A value the operator left as it was loaded keeps what another operator saved since.
        const auto loaded = m_loaded.constFind(key);
        if (loaded != m_loaded.cend() && *loaded == value &&
            settings.read(QString::fromLatin1(keys::Talor), key) != value)
            continue;
        written.append({key, value});
    }
    // In one write: the file takes all of them or, when the write fails, none.
    m_suite.writeSettings(QString::fromLatin1(keys::Talor), written, settings.path());
    m_suite.setRefreshFlag(0);
}

} // namespace talor
