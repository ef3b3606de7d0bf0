#include "app/popup/popup_globals.h"

namespace lunvek {

int popup_placed_flag = 0;

}  // namespace lunvek
