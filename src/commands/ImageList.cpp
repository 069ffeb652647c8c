#include "commands/ImageList.h"

namespace talor {

int ImageList::add(const QImage& image, const QString& key)
{
    m_entries.push_back({key, image});
    return count();
}

QImage ImageList::image(int index) const
{
    if (index < 1 || index > count())
        return {};
    return m_entries[size_t(index - 1)].image;
}

QString ImageList::key(int index) const
{
    if (index < 1 || index > count())
        return {};
    return m_entries[size_t(index - 1)].key;
}

int ImageList::zhimages(const QString& key) const
{
    for (int i = 0; i < count(); ++i)
        if (m_entries[size_t(i)].key == key)
            return i + 1;
    return 0;
}

} // namespace talor
