// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Heap allocations made by the whole process so far (malloc, calloc, realloc, memalign; operator new ends
// in malloc).
long heapAllocations();
