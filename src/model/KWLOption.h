#pragma once

// The listing options.
class CKWLOption {
public:
    virtual ~CKWLOption() = default;

    bool m_bRecursive = false; // list directories recursively
};
