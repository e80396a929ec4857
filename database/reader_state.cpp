#include "database/database.h"

namespace database {

Reader reader;

}  // namespace database
