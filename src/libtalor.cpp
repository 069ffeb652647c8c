// The module library is made of the folder libraries linked in whole; this file only
// gives the shared library a translation unit of its own.
