// The suite configuration: errors that name the file and the problem.
#include "suite/SuiteConfig.h"

#include "suite/SuiteServices.h"
#include "support/ErrorText.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace talor;

// Writes the configuration and gives its path.
static QString writeFile(const QString& path, const QString& text)
{
    talor::test::putFile(path, text.toUtf8());
    return path;
}

// Each bad configuration fails naming the file and the problem.
TEST(SuiteConfig, ErrorsNameTheFileAndTheProblem)
{
    // The file (nullptr: none, "@": a folder), the named part.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {{nullptr, "does not exist"}, {"@", "not a file"},
        {"[database]\nkind=oracle\n", "kind=oracle"}, {"[database]\nkind=sqlite\n", "file"},
        {"[database]\nkind=postgresql\nhost=h\n", "name"}, {"[database]\nkind=postgresql\nname=a\nport=65536\n", "port=65536"},
        {"[database]\nkind=postgresql\nname=a\nport=0\n", "port=0"}, {"[database]\nkind=postgresql\nname=a\nport=x\n", "port=x"},
        {"[database]\nfile=a.db\n[guard]\nlockSwitch=yes\n", "lockSwitch=yes"}, {"[database]\nfile=a.db\n[values]\nreportDate=2026-02-30\n", "reportDate"},
        {"[database]\nfile=a.db\n[values]\nperiodStart=2026-10-1\n", "periodStart=2026-10-1"},
        {"[database]\nfile=a.db\n[values]\nperiodEnd=31.10.2026\n", "periodEnd=31.10.2026"},
        {"[database]\nfile=a.db\n[values]\nperiodEnd=2026/09/30\n", "periodEnd=2026/09/30 is not valid"},
        {"[values]\nperiodStart=2026-10-02\nperiodEnd=2026-10-01\n[database]\nfile=a\n", "2026-10-02 is later"},
        {"\xEF\xBB\xBF[database]\nfile=a.db\n[values]\nx=1\n[database]\nfile=b.db\n", "line 6: [database] file is given on line 2"},
        {"[database]\nfile=a.db\n; a = b\n# c = d\n[suite]\nfilter = depart='1'\n", "line 6"}, {"[database]\n file=a.db\n", "line 2"},
        {"[database]\nfile=a.db\n[suite\nfile=b.db\n", "line 4: [database] file is given on line 2"}};
    // clang-format on
    for (const auto& [text, named] : cases) {
        SCOPED_TRACE(named);
        QTemporaryDir dir;
        QString path = QDir(dir.path()).absoluteFilePath("suite.ini");
        if (!text)
            path = dir.filePath("nowhere/suite.ini");
        else if (QByteArray(text) == "@")
            path = dir.path();
        else
            writeFile(path, QString::fromUtf8(text));
        EXPECT_TRUE(
            talor::test::containsAll(talor::test::errorText<SuiteError>([&] { SuiteConfig::load(path); }),
                                     {path, QString::fromUtf8(named)}));
    }
}
