// Where the book and its journal live: the folder that a machine policy
// names (one book for an office, on a file share), or else the system
// directory. A policy that names a folder the book cannot live in is never
// passed over for the system directory: that would split the office's book.
#pragma once

#include <string>

class Files;
class Registry;

inline constexpr const char* kPolicyKey = "SOFTWARE\\Policies\\qvdutil";
inline constexpr const char* kBookFolderValue = "BookFolder";

struct BookLocation {
    enum class Problem {
        None,
        Relative,     // not a drive's folder nor a share's (\\server\share\...)
        TooLong,      // the book's name in it would pass the path limit
        NotAFolder,   // it names a file
        Unreachable,  // no such folder, or its server does not answer
        NoRight,      // this user may not look into it
    };
    std::string folder;
    bool byPolicy = false;
    Problem problem = Problem::None;

    // |fileName| in the folder; a drive's root ("E:\\") has its backslash already.
    std::string Path(const char* fileName) const;
};

BookLocation LocateBook(Files& files, Registry& registry);
