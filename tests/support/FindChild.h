#pragma once

#include <QWidget>
#include <stdexcept>
#include <string>

namespace talor::test {

// The control named `name` under `parent`; a missing control fails the test with its name.
template <typename T> T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("no control ") + name);
    return found;
}
template <typename T> T* child(QWidget& parent, const QString& name)
{
    return child<T>(parent, name.toUtf8().constData());
}

} // namespace talor::test
