#include <gtest/gtest.h>

#include "app/one_copy.h"

using kana::decideOneCopy;
using kana::OneCopy;

// The running copy holds its session's mark from before it takes the guard, so
// a later start that could take the mark but not the guard knows the running
// copy is in another session; one that could not take the mark shares its
// session (two starts at once included: the one that loses the guard).
TEST(OneCopy, TheGuardDecidesWhoRunsAndTheSessionMarkWhereTheOtherCopyIs) {
    EXPECT_EQ(decideOneCopy(true, true), OneCopy::First);
    EXPECT_EQ(decideOneCopy(true, false), OneCopy::First);
    EXPECT_EQ(decideOneCopy(false, false), OneCopy::OtherInThisSession);
    EXPECT_EQ(decideOneCopy(false, true), OneCopy::OtherElsewhere);
}
