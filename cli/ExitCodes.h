#pragma once

// What qlry's exit status tells a script.
constexpr int kExitOk = 0;
constexpr int kExitMalformedCatalog = 1;  // a catalog file that is not in the catalog format
constexpr int kExitUsage = 2;             // a usage error or a failure of the file system
