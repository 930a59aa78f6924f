// The program's version: the version resource and the version box take it
// from here, and so does scripts/package for the name of the release
// package; scripts/check-package holds CHANGELOG.md's newest entry to it.
#ifndef QVDUTIL_VERSION_H
#define QVDUTIL_VERSION_H

#define QVD_VERSION_NUMBERS 1, 1, 0, 0
#define QVD_VERSION_TEXT "1.01"

#endif
