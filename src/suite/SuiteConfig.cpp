#include "suite/SuiteConfig.h"

#include "settings/IniFile.h"
#include "suite/SuiteServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace talor {

namespace {

// The user's own folder of files that may go ($XDG_CACHE_HOME/talor, ~/.cache/talor), made
// when missing; the system's temporary folder where it cannot be made, or where there is no home
// to make it in (a service started without HOME would make "/.cache").
QString userCacheDirectory()
{
    if (qEnvironmentVariableIsEmpty("XDG_CACHE_HOME") && qEnvironmentVariableIsEmpty("HOME"))
        return QDir::tempPath();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString folder = cache + QStringLiteral("/talor");
    return !cache.isEmpty() && QDir().mkpath(folder) ? folder : QDir::tempPath();
}

// A path of the configuration, absolute: relative paths are taken from the configuration
// file's directory; an empty value gives `fallback`.
QString resolved(const QDir& base, const QString& value, const QString& fallback)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return fallback;
    return QDir::cleanPath(base.absoluteFilePath(text));
}

// What is wrong with the first key line that would not be read as the administrator meant it,
// as "line N: ...", or empty. Keys are matched as written, so a key with blanks around it
// ("filter = x") would be passed over as if it were absent; and of a key given twice in a
// section (an override appended at the end, say) only the first would be read.
QString keyLineProblem(QByteArray data)
{
    if (data.startsWith("\xEF\xBB\xBF")) // a byte-order mark before the first header
        data.remove(0, 3);
    const QList<QByteArray> lines = data.split('\n');
    QByteArray section;
    QHash<QByteArray, int> firstLines; // "section]key" -> its line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int number = int(i) + 1;
        if (line.startsWith('[') && line.contains(']')) {
            section = line.mid(1, line.indexOf(']') - 1);
            continue;
        }
        const qsizetype eq = lines[i].indexOf('=');
        if (line.startsWith(';') || line.startsWith('#') || eq <= 0)
            continue;
        const QByteArray key = lines[i].first(eq);
        if (key != key.trimmed())
            return QStringLiteral("line %1: write the key without blanks around it (key=value), or it is "
                                  "not read")
                .arg(number);
        if (const int first = firstLines.value(section + ']' + key); first > 0)
            return QStringLiteral("line %1: [%2] %3 is given on line %4 already, and only the first is "
                                  "read: keep one")
                .arg(number)
                .arg(QString::fromUtf8(section), QString::fromUtf8(key))
                .arg(first);
        firstLines.insert(section + ']' + key, number);
    }
    return {};
}

} // namespace

QString SuiteDatabaseConfig::describe() const
{
    if (isSqlite())
        return QStringLiteral("SQLite database file %1").arg(file);
    return QStringLiteral("PostgreSQL server %1:%2 (database %3, user %4)")
        .arg(host)
        .arg(port)
        .arg(name, user);
}

SuiteConfig SuiteConfig::load(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw SuiteError(QStringLiteral("suite configuration %1 does not exist").arg(path));
    if (!info.isFile())
        throw SuiteError(QStringLiteral("suite configuration %1 is not a file").arg(path));
    QFile probe(info.absoluteFilePath());
    if (!probe.open(QIODevice::ReadOnly))
        throw SuiteError(
            QStringLiteral("suite configuration %1 cannot be read: %2").arg(path, probe.errorString()));
    if (const QString problem = keyLineProblem(probe.readAll()); !problem.isEmpty())
        throw SuiteError(QStringLiteral("suite configuration %1, %2").arg(path, problem));
    probe.close();

    SuiteConfig config;
    config.path = info.absoluteFilePath();
    const QDir base = info.absoluteDir();
    const IniFile ini(config.path);
    auto value = [&](const char* section, const char* key) {
        try {
            return ini.read(QString::fromLatin1(section), QString::fromLatin1(key));
        } catch (const IniFileError& error) {
            throw SuiteError(error.message());
        }
    };
    auto invalid = [&](const QString& key, const QString& text, const QString& expected) {
        return SuiteError(QStringLiteral("suite configuration %1: %2=%3 is not valid (%4)")
                              .arg(config.path, key, text, expected));
    };

    SuiteDatabaseConfig& db = config.database;
    db.kind = value("database", "kind").trimmed().toLower();
    if (db.kind.isEmpty())
        db.kind = QStringLiteral("sqlite");
    if (db.kind == "sqlite") {
        const QString file = value("database", "file");
        if (file.trimmed().isEmpty())
            throw invalid("[database] file", file, "the SQLite database file is required");
        db.file = resolved(base, file, {});
    } else if (db.kind == "postgresql") {
        db.host = value("database", "host").trimmed();
        if (db.host.isEmpty())
            db.host = QStringLiteral("127.0.0.1");
        const QString port = value("database", "port").trimmed();
        if (!port.isEmpty()) {
            bool ok = false;
            db.port = port.toInt(&ok);
            if (!ok || db.port <= 0 || db.port > 65535)
                throw invalid("[database] port", port, "a port number from 1 to 65535");
        }
        db.name = value("database", "name").trimmed();
        if (db.name.isEmpty())
            throw invalid("[database] name", {}, "the PostgreSQL database name is required");
        db.user = value("database", "user").trimmed();
        db.password = value("database", "password");
    } else {
        throw invalid("[database] kind", db.kind, "sqlite or postgresql");
    }

    const QString kind = value("suite", "databaseKind").trimmed();
    config.databaseKind = kind.isEmpty() ? QStringLiteral("2") : kind;
    config.organisation = value("suite", "organisation");
    config.operatorName = value("suite", "operator");
    config.moduleKey = value("suite", "moduleKey");
    config.scope = value("suite", "scope");
    config.filter = value("suite", "filter");
    config.allowedMenus = value("suite", "allowedMenus");
    config.currentTable = value("suite", "currentTable").trimmed();

    const QString home = base.absolutePath();
    const QString hostDirectory =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : home;
    config.applicationDirectory = resolved(base, value("paths", "application"), hostDirectory);
    config.workDirectory = resolved(base, value("paths", "work"), home);
    config.logDirectory = resolved(base, value("paths", "log"), {});
    config.templateDirectory = resolved(base, value("paths", "template"), home);
    config.iconDirectory = resolved(base, value("paths", "icon"), home);
    config.iconFile = value("paths", "iconFile").trimmed();
    config.temporaryDirectory = resolved(base, value("paths", "temporary"), userCacheDirectory());
    config.settingsDirectory = resolved(base, value("paths", "settingsDirectory"), home);
    config.settingsFile = value("paths", "settingsFile").trimmed();
    if (config.settingsFile.isEmpty())
        config.settingsFile = QStringLiteral("talor.ini");
    config.secondFile = value("paths", "secondFile").trimmed();
    if (config.secondFile.isEmpty())
        config.secondFile = QStringLiteral("suite2.ini");

    const QString lock = value("guard", "lockSwitch").trimmed();
    if (!lock.isEmpty()) {
        bool ok = false;
        config.lockSwitch = lock.toInt(&ok);
        if (!ok)
            throw invalid("[guard] lockSwitch", lock, "a whole number");
    }
    config.codePrefix = value("guard", "codePrefix");
    config.accessCode = value("guard", "accessCode");
    config.accessComparison = value("guard", "accessComparison");

    // The period bounds go into queries as text, and SQLite compares dates as text: only the
    // full form yyyy-mm-dd orders correctly ("2026-10-1" would sort after "2026-10-05").
    auto date = [&](const char* key) {
        const QString text = value("values", key).trimmed();
        // Qt's reading of ISO dates passes other separators ("2026.10.01") over.
        if (!text.isEmpty() && QDate::fromString(text, Qt::ISODate).toString(Qt::ISODate) != text)
            throw invalid(QStringLiteral("[values] ") + QLatin1String(key), text, "a date yyyy-mm-dd");
        return text;
    };
    config.reportDate = date("reportDate");
    config.periodStart = date("periodStart");
    config.periodEnd = date("periodEnd");
    // Dates of the full form order as texts.
    if (!config.periodStart.isEmpty() && !config.periodEnd.isEmpty() && config.periodStart > config.periodEnd)
        throw SuiteError(QStringLiteral("suite configuration %1: [values] periodStart=%2 is later than "
                                        "periodEnd=%3")
                             .arg(config.path, config.periodStart, config.periodEnd));
    return config;
}

} // namespace talor
