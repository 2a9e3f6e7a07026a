// SPDX-License-Identifier: MIT
// libstdc++'s locale model, in place of the glibc one Debian's g++ ships, which is built on
// glibc's __locale_t: the headers pause includes name the type and the number of categories,
// and use nothing else of it.
#ifndef _GLIBCXX_CXX_LOCALE_H
#define _GLIBCXX_CXX_LOCALE_H 1
#pragma GCC system_header
#include <clocale>
#define _GLIBCXX_NUM_CATEGORIES 0
namespace std _GLIBCXX_VISIBILITY(default)
{
_GLIBCXX_BEGIN_NAMESPACE_VERSION
typedef int *__c_locale;
_GLIBCXX_END_NAMESPACE_VERSION
} // namespace std
#endif
