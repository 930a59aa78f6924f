// The program's version: the version resource takes it from here, and so
// does scripts/package for the name of the release package.
#ifndef QVDUTIL_VERSION_H
#define QVDUTIL_VERSION_H

#define QVD_VERSION_NUMBERS 1, 0, 0, 0
#define QVD_VERSION_TEXT "1.00"

#endif
