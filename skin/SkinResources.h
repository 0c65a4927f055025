#pragma once
// Where the skin's description and images come from: named resources of a
// type ("INI", "JPG", "BMP", "GIF"). The program's own are Qt resources at
// ":/<TYPE>/<NAME>", names upper-cased, so that lookups ignore case.

#include <QByteArray>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/Exception.h"

namespace lugatim::skin {

// The bytes of a resource, or nothing when there is none of that type and name.
using TResourceReader =
    std::function<std::optional<QByteArray>(const std::string& type, const std::string& name)>;

// Reads the program's Qt resources.
TResourceReader ProgramResources();

// "Resource %s not found".
class EResNotFound : public base::Exception {
 public:
  explicit EResNotFound(const std::string& name);
};

// The bytes of a resource; fails with EResNotFound naming it.
QByteArray ReadResource(const TResourceReader& reader, const std::string& type,
                        const std::string& name);

// The larger scales of a resource that the reader holds (base/ImageScale.h):
// scale -> the bytes of "<name>@<scale>X"; empty for a resource that comes at 1x only.
std::map<int, QByteArray> ReadScaledResources(const TResourceReader& reader,
                                              const std::string& type, const std::string& name);

// How an image entry of the description names its resource: the up to three
// characters after the first "." give the extension, the characters before it
// the resource name, both upper-cased (ASCII letters); a name without "."
// gives " " for both. "GIF" reads a GIF resource, "BMP" a BMP resource, any
// other extension a JPG resource.
struct TImageResource {
  std::string type;  // "GIF", "BMP" or "JPG"
  std::string name;
  std::string extension;
};
TImageResource ImageResourceOf(const std::string& entry);

}  // namespace lugatim::skin
