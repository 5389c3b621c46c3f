#pragma once

namespace torvika {

// The process's resident memory in kB, or -1 where the system does not tell.
long residentMemoryKb();

} // namespace torvika
