#pragma once

namespace torvika::test {

// The process's resident memory in kB, or -1 where the system does not tell.
long residentMemoryKb();

} // namespace torvika::test
