// The text functions on texts from fields and files: the input is a picture, a line break and
// the text.
#include "FuzzInput.h"
#include "text/TextFunctions.h"

using namespace talor::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [picture, text] = talor::fuzz::linesOf(data, size);

    (void)numericValue(text);
    (void)parseNumber(text);
    (void)typedNumber(text);
    (void)numberFromText(text);
    (void)parseDateTime(text);
    (void)dateSerialOf(text);
    (void)parseTime(text);
    (void)isValidDateOrTime(text);
    (void)format(text, picture);
    (void)excelFormatCode(picture);
    (void)isDateTimePicture(picture);
    (void)byteLength(text);
    (void)leftWhole(text, qsizetype(size % 17));
    if (const auto value = numberFromText(text)) {
        if (const auto when = dateTimeFromSerial(*value))
            (void)formatDateTime(*when, picture);
    }
    return 0;
}
