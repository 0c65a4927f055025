#include "skin/SkinResources.h"

#include <QFile>
#include <QString>

#include "base/ImageScale.h"

namespace lugatim::skin {
namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

EResNotFound::EResNotFound(const std::string& name)
    : base::Exception(base::Format("Resource %s not found", name.c_str())) {}

TResourceReader ProgramResources() {
  return [](const std::string& type, const std::string& name) -> std::optional<QByteArray> {
    const QString path = QStringLiteral(":/") + QString::fromStdString(type).toUpper() +
                         QLatin1Char('/') + QString::fromStdString(name).toUpper();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
  };
}

QByteArray ReadResource(const TResourceReader& reader, const std::string& type,
                        const std::string& name) {
  std::optional<QByteArray> bytes = reader ? reader(type, name) : std::nullopt;
  if (!bytes) throw EResNotFound(name);
  return *std::move(bytes);
}

std::map<int, QByteArray> ReadScaledResources(const TResourceReader& reader,
                                              const std::string& type, const std::string& name) {
  std::map<int, QByteArray> scaled;
  for (int scale = 2; reader && scale <= base::kLargestImageScale; ++scale)
    if (std::optional<QByteArray> bytes = reader(type, base::ScaledResourceName(name, scale)))
      scaled.emplace(scale, *std::move(bytes));
  return scaled;
}

TImageResource ImageResourceOf(const std::string& entry) {
  // Built from strings, not assigned from literals: GCC 12 at -O3 warns
  // falsely on the latter.
  static const std::string kGif("GIF"), kBmp("BMP"), kJpg("JPG"), kBlank(" ");
  const size_t dot = entry.find('.');
  if (dot == std::string::npos) return TImageResource{kJpg, kBlank, kBlank};
  std::string extension = Upper(entry.substr(dot + 1, 3));
  const std::string& type = extension == kGif ? kGif : extension == kBmp ? kBmp : kJpg;
  return TImageResource{type, Upper(entry.substr(0, dot)), std::move(extension)};
}

}  // namespace lugatim::skin
