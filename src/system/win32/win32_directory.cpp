#include "system/win32/win32_directory.h"

// clang-format off
#include "system/win32/code_page_win32.h"
#include <winldap.h>
#include <winber.h>
// clang-format on

namespace {

std::wstring Wide(const std::string& utf8) { return WideText(CP_UTF8, utf8).value_or(std::wstring()); }

DirectoryFault FaultOf(ULONG code) {
    // A socket's error (WSAECONNREFUSED, WSAENOTCONN, ...) where the client passes one on
    if (code >= WSABASEERR && code < WSABASEERR + 2000) return DirectoryFault::Unreachable;
    switch (code) {
    case LDAP_SUCCESS:
        return DirectoryFault::None;
    case LDAP_SERVER_DOWN:
    case LDAP_CONNECT_ERROR:
    case LDAP_UNAVAILABLE:
        return DirectoryFault::Unreachable;
    case LDAP_INVALID_CREDENTIALS:
    case LDAP_INAPPROPRIATE_AUTH:
    case LDAP_STRONG_AUTH_REQUIRED:
    case LDAP_AUTH_UNKNOWN:
    case LDAP_AUTH_METHOD_NOT_SUPPORTED:
    case LDAP_INSUFFICIENT_RIGHTS:
        return DirectoryFault::SignIn;
    case LDAP_NO_SUCH_OBJECT:
    case LDAP_INVALID_DN_SYNTAX:
        return DirectoryFault::NoSuchBase;
    case LDAP_TIMEOUT:
    case LDAP_TIMELIMIT_EXCEEDED:
        return DirectoryFault::TimeLimit;
    default:
        return DirectoryFault::Refused;
    }
}

DirectoryPage Failed(ULONG code) {
    DirectoryPage page;
    page.fault = FaultOf(code);
    page.code = code;
    return page;
}

// The first value of |attribute|, as the server sent its bytes (UTF-8).
std::string FirstValue(LDAP* ld, LDAPMessage* entry, const std::wstring& attribute) {
    berval** values = ldap_get_values_lenW(ld, entry, const_cast<PWCHAR>(attribute.c_str()));
    if (!values) return std::string();
    std::string value = values[0] ? std::string(values[0]->bv_val, values[0]->bv_len) : std::string();
    ldap_value_free_len(values);
    return value;
}

class Win32Pages : public DirectoryPages {
public:
    explicit Win32Pages(const DirectoryQuery& query) : m_query(query) {
        m_timeout.tv_sec = query.timeLimitSeconds;
        m_timeout.tv_usec = 0;
        for (const std::string& attribute : query.attributes) m_attributes.push_back(Wide(attribute));
        m_start = Start();
    }
    ~Win32Pages() override {
        if (m_search) ldap_search_abandon_page(m_ld, m_search);
        if (m_ld) ldap_unbind(m_ld);
    }

    DirectoryPage Next() override {
        if (m_start.fault != DirectoryFault::None || m_done) {
            DirectoryPage page = m_start;
            m_start = DirectoryPage{};
            m_done = true;
            return page;
        }
        LDAPMessage* results = nullptr;
        ULONG total = 0;
        ULONG code = ldap_get_next_page_s(m_ld, m_search, &m_timeout, static_cast<ULONG>(m_query.pageSize), &total, &results);
        if (code == LDAP_NO_RESULTS_RETURNED) {
            m_done = true;
            return DirectoryPage{};
        }
        if (code == LDAP_SUCCESS && results) code = ldap_result2error(m_ld, results, 0);
        if (code != LDAP_SUCCESS) {
            if (results) ldap_msgfree(results);
            m_done = true;
            return Failed(code);
        }
        DirectoryPage page;
        page.last = false;
        for (LDAPMessage* entry = ldap_first_entry(m_ld, results); entry; entry = ldap_next_entry(m_ld, entry)) {
            DirectoryEntry& read = page.entries.emplace_back();
            for (const std::wstring& attribute : m_attributes) read.values.push_back(FirstValue(m_ld, entry, attribute));
        }
        if (results) ldap_msgfree(results);
        return page;
    }

private:
    DirectoryPage Start() {
        std::wstring host = Wide(m_query.host);
        // No name: the computer's own domain, which the client finds as Windows does.
        PWCHAR name = host.empty() ? nullptr : host.data();
        m_ld = m_query.tls ? ldap_sslinitW(name, static_cast<ULONG>(m_query.port), 1)
                           : ldap_initW(name, static_cast<ULONG>(m_query.port));
        if (!m_ld) return Failed(LdapGetLastError());
        ULONG version = LDAP_VERSION3;
        ldap_set_optionW(m_ld, LDAP_OPT_PROTOCOL_VERSION, &version);
        // A referral to another server would be followed without a time limit.
        ldap_set_optionW(m_ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
        ULONG seconds = static_cast<ULONG>(m_query.timeLimitSeconds);
        ldap_set_optionW(m_ld, LDAP_OPT_TIMELIMIT, &seconds);
        if (m_query.sign) {
            ldap_set_optionW(m_ld, LDAP_OPT_SIGN, LDAP_OPT_ON);
            ldap_set_optionW(m_ld, LDAP_OPT_ENCRYPT, LDAP_OPT_ON);
        }
        ULONG code = ldap_connect(m_ld, &m_timeout);
        if (code != LDAP_SUCCESS) return Failed(code);
        code = m_query.anonymous ? BindAnonymously() : BindAsTheUser();
        if (code != LDAP_SUCCESS) return Failed(code);
        std::wstring base = Wide(m_query.base);
        if (base.empty() && (code = NamingContext(base)) != LDAP_SUCCESS) return Failed(code);
        std::wstring filter = Wide(m_query.filter);
        std::vector<PWCHAR> attributes;
        for (std::wstring& attribute : m_attributes) attributes.push_back(attribute.data());
        attributes.push_back(nullptr);
        m_search = ldap_search_init_pageW(m_ld, base.data(), LDAP_SCOPE_SUBTREE, filter.data(), attributes.data(), 0,
                                          nullptr, nullptr, seconds, 0, nullptr);
        if (!m_search) return Failed(LdapGetLastError());
        return DirectoryPage{};
    }

    // The user's own sign-in (Kerberos or NTLM); no password is kept anywhere.
    // The client gives this call no time limit. Wine's client takes the
    // missing credentials for given ones and crashes: there the sign-in is
    // refused as a method the client lacks.
    ULONG BindAsTheUser() {
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return LDAP_AUTH_METHOD_NOT_SUPPORTED;
        return ldap_bind_sW(m_ld, nullptr, nullptr, LDAP_AUTH_NEGOTIATE);
    }

    // A simple bind without a name, waited for no longer than the time limit:
    // the client's own bind call would wait for ever on a server that never answers.
    ULONG BindAnonymously() {
        const ULONG id = ldap_simple_bindW(m_ld, nullptr, nullptr);
        if (id == static_cast<ULONG>(-1)) return LdapGetLastError();
        LDAPMessage* answer = nullptr;
        const ULONG got = ldap_result(m_ld, id, LDAP_MSG_ALL, &m_timeout, &answer);
        if (got == 0) return LDAP_TIMEOUT;
        if (got == static_cast<ULONG>(-1) || !answer) return LdapGetLastError();
        return ldap_result2error(m_ld, answer, 1);
    }

    // The directory's default naming context, from its root entry; an
    // OpenLDAP server names its first naming context instead.
    ULONG NamingContext(std::wstring& base) {
        wchar_t defaultContext[] = L"defaultNamingContext", contexts[] = L"namingContexts";
        PWCHAR asked[] = {defaultContext, contexts, nullptr};
        wchar_t any[] = L"(objectClass=*)", root[] = L"";
        LDAPMessage* rootEntry = nullptr;
        ULONG code = ldap_search_ext_sW(m_ld, root, LDAP_SCOPE_BASE, any, asked, 0, nullptr, nullptr, &m_timeout, 1, &rootEntry);
        if (code != LDAP_SUCCESS) return code;
        LDAPMessage* entry = ldap_first_entry(m_ld, rootEntry);
        for (const wchar_t* attribute : {defaultContext, contexts}) {
            if (!entry || !base.empty()) break;
            base = Wide(FirstValue(m_ld, entry, attribute));
        }
        ldap_msgfree(rootEntry);
        return base.empty() ? static_cast<ULONG>(LDAP_NO_SUCH_OBJECT) : static_cast<ULONG>(LDAP_SUCCESS);
    }

    DirectoryQuery m_query;
    l_timeval m_timeout{};
    std::vector<std::wstring> m_attributes;
    LDAP* m_ld = nullptr;
    PLDAPSearch m_search = nullptr;
    DirectoryPage m_start;
    bool m_done = false;
};

}  // namespace

std::unique_ptr<DirectoryPages> Win32Directory::Search(const DirectoryQuery& query) {
    return std::make_unique<Win32Pages>(query);
}
