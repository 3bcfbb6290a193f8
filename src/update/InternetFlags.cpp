#include "update/InternetFlags.h"
#include <utility>

namespace update {

namespace {

// Each member and the flag the HTTP layer knows it by.
constexpr std::pair<TInternetFlag, std::uint32_t> FlagWords[] = {
    {TInternetFlag::ifCacheIfNetFail, 0x00010000},      {TInternetFlag::ifDontCache, 0x04000000},
    {TInternetFlag::ifHyperLink, 0x00000400},           {TInternetFlag::ifIgnoreCertCnInvalid, 0x00001000},
    {TInternetFlag::ifIgnoreCertDateInvalid, 0x00002000}, {TInternetFlag::ifIgnoreRedirectToHttp, 0x00008000},
    {TInternetFlag::ifIgnoreRedirectToHttps, 0x00004000}, {TInternetFlag::ifKeepConnection, 0x00400000},
    {TInternetFlag::ifNeedFile, 0x00000010},            {TInternetFlag::ifNoAuth, 0x00040000},
    {TInternetFlag::ifNoAutoRedirect, 0x00200000},      {TInternetFlag::ifNoCacheWrite, 0x04000000},
    {TInternetFlag::ifNoCookies, 0x00080000},           {TInternetFlag::ifNoUi, 0x00000200},
    {TInternetFlag::ifPragmaNoCache, 0x00000100},       {TInternetFlag::ifReload, 0x80000000},
    {TInternetFlag::ifResynchronize, 0x00000800},
};

}  // namespace

TInternetFlags DefaultInternetFlags() {
  using F = TInternetFlag;
  return {F::ifIgnoreCertCnInvalid, F::ifIgnoreCertDateInvalid, F::ifIgnoreRedirectToHttp, F::ifIgnoreRedirectToHttps,
          F::ifKeepConnection,      F::ifNoUi,                  F::ifReload};
}

std::uint32_t RequestFlagsOf(const TInternetFlags& flags) {
  std::uint32_t word = 0;
  for (const auto& [flag, value] : FlagWords)
    if (flags.contains(flag)) word |= value;
  return word;
}

}  // namespace update
