#include "skin/SkinResources.h"

#include <QFile>
#include <QString>

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
    QFile file(QString::fromStdString(":/" + Upper(type) + "/" + Upper(name)));
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

TImageResource ImageResourceOf(const std::string& entry) {
  const size_t dot = entry.find('.');
  TImageResource r;
  if (dot == std::string::npos) {
    r.name = " ";
    r.extension = " ";
  } else {
    r.name = Upper(entry.substr(0, dot));
    r.extension = Upper(entry.substr(dot + 1, 3));
  }
  r.type = r.extension == "GIF" ? "GIF" : r.extension == "BMP" ? "BMP" : "JPG";
  return r;
}

}  // namespace lugatim::skin
