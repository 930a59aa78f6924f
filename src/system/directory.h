// The directory seam: a paged LDAP search, read only. wldap32 in the
// product, a list of entries of the tests' own on the test host. Texts
// cross it as UTF-8, as the directory holds them.
#pragma once

#include <memory>
#include <string>
#include <vector>

// Where and how to search. An empty host is the computer's own domain.
struct DirectoryQuery {
    std::string host;
    int port = 389;
    bool tls = false;        // LDAP over TLS (port 636 unless named)
    bool sign = false;       // signing and sealing of the Windows sign-in
    bool anonymous = false;  // else the user's own Windows sign-in
    std::string base;        // empty: the directory's default naming context
    std::string filter;
    std::vector<std::string> attributes;
    int pageSize = 100;
    int timeLimitSeconds = 10;  // for each exchange with the server
};

enum class DirectoryFault {
    None,
    Unreachable,  // no server answered at that name and port
    SignIn,       // the server refused the sign-in
    NoSuchBase,
    TimeLimit,    // the server took longer than the time limit
    Refused,      // any other error the server answered with
};

// One entry: the first value of each asked attribute, in the order asked;
// empty where the entry has none.
struct DirectoryEntry {
    std::vector<std::string> values;
};

struct DirectoryPage {
    DirectoryFault fault = DirectoryFault::None;
    unsigned long code = 0;  // the LDAP result code behind a fault
    std::vector<DirectoryEntry> entries;
    bool last = true;
};

// A search under way. Dropping it abandons what the server has not sent.
class DirectoryPages {
public:
    virtual ~DirectoryPages() = default;
    virtual DirectoryPage Next() = 0;
};

class Directory {
public:
    virtual ~Directory() = default;
    // Connects, signs in and starts the search; the first page's fault
    // tells when any of it failed. Safe to call from a worker thread.
    virtual std::unique_ptr<DirectoryPages> Search(const DirectoryQuery& query) = 0;
};
