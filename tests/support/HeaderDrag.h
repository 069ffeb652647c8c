#pragma once

#include <QHeaderView>
#include <QTest>

namespace talor::test {

// Drags the right edge of column `section` (0-based) on `header` by `by` pixels, as the
// operator widens or narrows a column with the mouse.
inline void dragColumnEdge(QHeaderView& header, int section, int by)
{
    const int y = header.height() / 2;
    const QPoint edge(header.sectionViewportPosition(section) + header.sectionSize(section) - 1, y);
    QTest::mousePress(header.viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(header.viewport(), edge + QPoint(by, 0));
    QTest::mouseRelease(header.viewport(), Qt::LeftButton, {}, edge + QPoint(by, 0));
}

} // namespace talor::test
