#include "resources/Resources.h"

#include <QtGlobal>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void InitLugatimResources() {
  Q_INIT_RESOURCE(lugatim);
}

namespace lugatim::resources {

void Init() {
  InitLugatimResources();
}

}  // namespace lugatim::resources
