#pragma once

#include "entry/SuiteComponent.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace talor {

// A component that could not be created: the message names the class and the files tried.
class ModuleError : public std::runtime_error
{
public:
    explicit ModuleError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Creates suite components by class name. The class "NAME.clszh" lives in the shared library
// of module NAME in the application's dll folder: NAME.so, libNAME.so, or the same in lower
// case (module names arrive upper-cased from the menu table: "SALARY.clszh" finds salary.so).
// A library stays loaded for the rest of the process once loaded, since the component's
// code and any objects it handed out may still be in use.
class ModuleRegistry
{
public:
    explicit ModuleRegistry(QString dllDirectory);

    // The dll folder of an application directory: appDir + "/dll".
    static QString dllDirectoryOf(const QString& applicationDirectory);

    // The library files tried for a class name, in order; empty for a malformed name.
    QStringList candidateFiles(const QString& className) const;
    // Throws ModuleError when the name is malformed, no library is found or loads, the
    // library does not export the factory, or the factory returns null.
    std::unique_ptr<SuiteComponent> create(const QString& className, SuiteServices& suite,
                                           UiService& ui) const;

private:
    QString m_dllDirectory;
};

} // namespace talor
