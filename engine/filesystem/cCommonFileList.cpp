#include "engine/filesystem/cCommonFileList.h"

namespace velmora {

void cCommonFileList::Release() { delete this; }

} // namespace velmora
