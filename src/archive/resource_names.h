// The text rules between Java names ('com.acme.Main', 'img/logo.png'), archive entry
// names ('com\acme\Main.class', 'libs\x.jar!img\logo.png') and the launcher's "qvx:"
// URL texts. Pure functions over buffers; only the jstring overloads touch JNI.
#pragma once

#include "text/text_buffer.h"
#include "vm/jvm.h"

#include <cstdint>

// The two byte forms of one Java name. The ANSI form is tried first, the UTF-8 form only
// when the forms differ, so an archive may store non-ASCII names either way.
struct JavaNameForms {
    CTextBuffer ansi;
    CTextBuffer utf8;
    bool differ = false;
};

// Forms of the UTF-16 units up to length or the first 0 unit, whichever comes first.
JavaNameForms MakeNameForms(const char16_t* units, int32_t length);
JavaNameForms MakeNameForms(JNIEnv* env, jstring name);

// 'com.acme.Main' gives 'com\acme\Main.class'.
CTextBuffer ClassEntryName(const CTextRef& form);
// '/' to '\', then "\.\" and "name\..\" steps removed: 'img/x/../a.png' gives 'img\a.png'.
CTextBuffer ResourceEntryName(const CTextRef& form);

// "qvx:" + the entry path with '\' as '/', decoded from UTF-8 when the path was found
// through the UTF-8 form, from the ANSI code page otherwise. No escaping.
CWideTextBuffer MakeResourceUrlText(const CTextRef& entryPath, bool fromUtf8);

// What UrlEntryNames makes of a URL text: the normalised ANSI form of the whole text and
// up to three entry names to try in order.
struct UrlCandidates {
    CTextBuffer ansiForm;
    int32_t count = 0;
    CTextBuffer names[3];
};

// False when the text is no launcher URL (it does not begin with "qvx:" in any case).
bool UrlEntryNames(const char16_t* units, int32_t length, UrlCandidates& out);
bool UrlEntryNames(JNIEnv* env, jstring url, UrlCandidates& out);

// '+' gives ' ', "%%" gives '%', '%' and two hexadecimal digits give that byte; any
// other '%' stays as it is.
CTextBuffer PercentDecode(const CTextRef& text);
