#pragma once

#include <string>

#include <gtest/gtest.h>

#include "support/KwlList.h"
#include "support/TempTree.h"

using SResult = SKwlListResult;

// Each test gets the example tree (MakeExampleTree) in a fresh folder.
class KwlListTest : public ::testing::Test {
protected:
    CTempTree m_tree;
    std::string m_strDir = MakeExampleTree(m_tree);
};
