// The POSIX writer's choice of temporary file, open to its tests.
#pragma once

namespace files {

// When set, the writer uses a named temporary file removed on the catchable
// signals, as it does where the system cannot make a file without a name.
extern bool named_temporaries_only;

}  // namespace files
