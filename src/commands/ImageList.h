#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace talor {

// The window's image list: pictures indexed from 1, each with an optional key. The designed
// pictures come first; the command bar adds the external modules' pictures under the key of
// their button.
class ImageList
{
public:
    // Appends a picture and returns its index (from 1).
    int add(const QImage& image, const QString& key = {});
    void clear() { m_entries.clear(); }
    int count() const { return int(m_entries.size()); }
    // The picture at `index` (from 1); a null image for an index out of range.
    QImage image(int index) const;
    QString key(int index) const;
    // `zhimages`: the index of the first picture whose key equals `key` exactly, 0 when none.
    int zhimages(const QString& key) const;

private:
    struct Entry
    {
        QString key;
        QImage image;
    };
    std::vector<Entry> m_entries;
};

} // namespace talor
