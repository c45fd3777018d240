#pragma once

// The listing options.
class CKWLOption {
public:
    bool m_bRecursive = false; // list directories recursively
};
