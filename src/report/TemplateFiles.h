#pragma once

#include <QString>

namespace talor {

class SuiteServices;

// Where the templates of a report live: the template directory + "/" + the report's file
// stem + kind + ".vts". The file stem is the report name itself, except for what a file name
// cannot hold, so that every name a report may have (the settings take almost any text) gets
// template files of its own inside the template directory:
//  - "%" becomes "%25", "/" becomes "%2F", each control character and a leading "." (which
//    would hide the file) "%" + two hex digits, so that no name reaches outside the directory
//    and two names never share a file;
//  - a stem that would make the file name longer than 200 bytes (a file name holds 255, and
//    a safe write needs room for its temporary name) is cut to a shorter UTF-8 prefix
//    followed by "~" and eight hex digits of a hash of the whole name.
// Ordinary names (letters, digits, CJK, blanks, punctuation other than "%" and "/") stay as
// they are: 考勤日报 gives 考勤日报2.vts.
QString templateFileStem(const QString& report);
QString templatePath(SuiteServices& suite, const QString& report, int kind);

} // namespace talor
