#pragma once

// Resource ids shared by kwl.rc and the code that loads the resources.
#define IDI_KWL 1
#define IDB_FLAG_DE 101
#define IDB_FLAG_DE_GREY 102
#define IDB_FLAG_EN 103
#define IDB_FLAG_EN_GREY 104
#define IDB_LOGO 105
