// The request flags of the HTTP request component: the set the user of the
// component chooses, and the flag word it hands to the HTTP layer.
#pragma once
#include <cstdint>
#include <initializer_list>

namespace update {

enum class TInternetFlag {
  ifCacheIfNetFail,
  ifDontCache,
  ifHyperLink,
  ifIgnoreCertCnInvalid,
  ifIgnoreCertDateInvalid,
  ifIgnoreRedirectToHttp,
  ifIgnoreRedirectToHttps,
  ifKeepConnection,
  ifNeedFile,
  ifNoAuth,
  ifNoAutoRedirect,
  ifNoCacheWrite,
  ifNoCookies,
  ifNoUi,
  ifPragmaNoCache,
  ifReload,
  ifResynchronize,
};

class TInternetFlags {
 public:
  TInternetFlags() = default;
  TInternetFlags(std::initializer_list<TInternetFlag> flags) {
    for (TInternetFlag f : flags) include(f);
  }
  void include(TInternetFlag f) { members_ |= bit(f); }
  void exclude(TInternetFlag f) { members_ &= ~bit(f); }
  bool contains(TInternetFlag f) const { return (members_ & bit(f)) != 0; }
  bool operator==(const TInternetFlags&) const = default;

 private:
  static std::uint32_t bit(TInternetFlag f) { return 1u << static_cast<unsigned>(f); }
  std::uint32_t members_ = 0;
};

// The component's initial set.
TInternetFlags DefaultInternetFlags();
// The flag word for the HTTP layer's request: each member adds its flag.
std::uint32_t RequestFlagsOf(const TInternetFlags& flags);

}  // namespace update
