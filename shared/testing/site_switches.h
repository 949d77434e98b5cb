// For tests of the site's file names: the switch that only the name tests
// themselves consult.
#pragma once

// Whether numbered index names ("index7.htm") are special names.
bool NumberedIndexesOn();
