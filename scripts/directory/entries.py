#!/usr/bin/env python3
"""The tests' directory, as LDIF: Japanese persons with readings, a person
without a FAX number, hostile values, and 1500 persons of one company for
paging."""
import base64

BASE = "dc=qvd,dc=test"


def value(name, text):
    # Non-ASCII and line breaks go base64, as LDIF wants them.
    if text.isascii() and "\n" not in text and not text.startswith(" "):
        return f"{name}: {text}"
    return f"{name}:: {base64.b64encode(text.encode('utf-8')).decode()}"


def person(uid, name, reading="", company="", company_reading="", department="", fax=None):
    lines = [value("dn", f"uid={uid},ou=people,{BASE}"), "objectClass: inetOrgPerson", "objectClass: qvdTestPerson",
             f"uid: {uid}", value("cn", name.replace("\n", " ") or uid), value("sn", uid)]
    for attribute, text in (("displayName", name), ("msDS-PhoneticDisplayName", reading), ("company", company),
                            ("msDS-PhoneticCompanyName", company_reading), ("department", department)):
        if text:
            lines.append(value(attribute, text))
    if fax is not None:
        lines.append(value("facsimileTelephoneNumber", fax))
    return "\n".join(lines)


entries = [
    f"dn: {BASE}\nobjectClass: dcObject\nobjectClass: organization\ndc: qvd\no: qvd",
    f"dn: ou=people,{BASE}\nobjectClass: organizationalUnit\nou: people",
    person("yamada", "山田 太郎", "やまだ たろう", "北斗商事", "ほくとしょうじ", "営業部", "+81 3-1111-2222"),
    person("suzuki", "鈴木 花子", "すずき はなこ", "北斗商事", "ほくとしょうじ", "総務部", "03-1111-3333"),
    person("sato", "佐藤 一郎", "さとう いちろう", "北斗商事", "ほくとしょうじ", "営業部"),
    person("comma", "危険, カンマ", "きけん", "危険物産", "", "", "03-9999-0001"),
    person("newline", "危険\n改行", "きけん", "危険物産", "", "", "03-9999-0002"),
    person("outside", "\U00020BB7野 危険", "よしの", "危険物産", "", "", "03-9999-0003"),
    person("overlong", "危険" + "長" * 31, "きけん", "危険物産", "", "", "03-9999-0004"),
    person("letters", "危険 文字", "きけん", "危険物産", "", "", "03-FAX-0005"),
]
entries += [person(f"bulk{n:04}", f"大量 {n:04}", "たいりょう", "大量商事", "たいりょうしょうじ", "", f"06-0000-{n:04}")
            for n in range(1500)]
print("\n\n".join(entries))
