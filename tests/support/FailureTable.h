// One loop for the tables of arranged failures: each row says what fails, how
// the platform is made to fail it and the status the operation must then
// return. A table grows by a row, never by another loop.
#pragma once

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace vlexif::test {

template <class Status>
struct FailureRow {
    const char* what;
    void (*arrange)();
    Status status;
};

// Whether a row arranges its failure itself; one whose failure lies in its
// data has `prepare` set it up.
template <class Row, class = void>
struct ArrangesItself : std::false_type {
};
template <class Row>
struct ArrangesItself<Row, std::void_t<decltype(std::declval<const Row&>().arrange())>> : std::true_type {
};

// For each row of `rows` (an array, or rows counted at run time), named in
// every failure it leads to: `prepare(row)` sets the operation up on a
// platform that works, the row's arrange (if it has one) makes it fail,
// `run()` must return the row's status, and `check(row)` looks at what the
// failure left behind.
template <class Rows, class Prepare, class Run, class Check>
void CheckEachFailure(const Rows& rows, Prepare prepare, Run run, Check check)
{
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        prepare(row);
        if constexpr (ArrangesItself<std::decay_t<decltype(row)>>::value) {
            row.arrange();
        }
        EXPECT_EQ(run(), row.status);
        check(row);
    }
}

} // namespace vlexif::test
