#include "entry/ModuleRegistry.h"

#include "commands/ModuleMenus.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace talor {

namespace {

const QString ClassSuffix = QStringLiteral(".clszh");

// The module part of "NAME.clszh"; empty when the name is not of that form or could reach
// outside the dll folder.
QString moduleOf(const QString& className)
{
    if (!className.endsWith(ClassSuffix, Qt::CaseInsensitive))
        return {};
    const QString name = className.left(className.size() - ClassSuffix.size());
    if (!ModuleMenus::isPlainModuleName(name))
        return {};
    return name;
}

} // namespace

ModuleRegistry::ModuleRegistry(QString dllDirectory) : m_dllDirectory(std::move(dllDirectory)) {}

QString ModuleRegistry::dllDirectoryOf(const QString& applicationDirectory)
{
    return QDir(applicationDirectory).filePath(QStringLiteral("dll"));
}

QStringList ModuleRegistry::candidateFiles(const QString& className) const
{
    const QString name = moduleOf(className);
    if (name.isEmpty())
        return {};
    QStringList names{name};
    if (name.toLower() != name)
        names << name.toLower();
    const QDir dir(m_dllDirectory);
    QStringList files;
    for (const QString& n : names)
        files << dir.filePath(n + ".so") << dir.filePath("lib" + n + ".so");
    return files;
}

std::unique_ptr<SuiteComponent> ModuleRegistry::create(const QString& className, SuiteServices& suite,
                                                       UiService& ui) const
{
    const QStringList files = candidateFiles(className);
    if (files.isEmpty())
        throw ModuleError("not a component class name: \"" + className + "\"");
    for (const QString& file : files) {
        if (!QFileInfo(file).isFile())
            continue;
        QLibrary library(file);
        if (!library.load())
            throw ModuleError("cannot load " + file + " for " + className + ": " + library.errorString());
        auto create = reinterpret_cast<CreateComponentFunction>(library.resolve(CreateComponentSymbol));
        if (!create)
            throw ModuleError(file + " does not export " + QString::fromLatin1(CreateComponentSymbol));
        std::unique_ptr<SuiteComponent> component(create(&suite, &ui));
        if (!component)
            throw ModuleError(file + " did not create " + className);
        return component;
    }
    throw ModuleError("no library for " + className + "; tried " + files.join(", "));
}

} // namespace talor
