// A template file as someone may send it: read it, take the sheets into a workbook and write
// it out and read it back, which must give the same bytes again.
#include "FuzzInput.h"
#include "grid/VtsFile.h"
#include "grid/Workbook.h"

#include <cstdlib>

using namespace talor::grid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = talor::fuzz::inputFile(data, size, QStringLiteral("input.vts"));
    try {
        VtsContent content = VtsFile::read(path);
        Workbook book;
        book.replaceSheets(std::move(content.sheets), std::move(content.names), content.active);
        const QByteArray bytes = VtsFile::toBytes(book);
        VtsFile::write(book, path);
        VtsContent again = VtsFile::read(path);
        Workbook second;
        second.replaceSheets(std::move(again.sheets), std::move(again.names), again.active);
        if (VtsFile::toBytes(second) != bytes)
            std::abort();
    } catch (const GridFileError&) {
    }
    return 0;
}
