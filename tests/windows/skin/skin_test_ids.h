// Resource ids of the skin tests' pictures.
#pragma once

#define IDP_TEST_ALPHA 301
#define IDP_TEST_STRIP 302
#define IDP_TEST_TALL 303
#define IDP_TEST_RGB 304
#define IDP_TEST_NOT_PNG 305
#define IDP_TEST_PAGE 306
#define IDP_TEST_MISSING 399
