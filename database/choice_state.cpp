#include "database/database.h"

namespace database {

Choice choice;

}  // namespace database
