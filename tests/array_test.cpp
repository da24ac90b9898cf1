// The bounds-checked array: growth, swap-removal, deletion and the diagnostic lines.
#include "array.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

static std::vector<int> contents(const Array<int*>& array) {
    std::vector<int> values;
    for (int32_t i = 0; i < array.count; i++)
        values.push_back(*array.data[i]);
    return values;
}

TEST(ArrayGrowth, DoublesAndKeepsOrder) {
    Array<int*> array;
    EXPECT_EQ(array.capacity, 8);
    EXPECT_EQ(array.count, 0);
    int values[17];
    for (int i = 0; i < 17; i++) {
        values[i] = i;
        array.add(&values[i]);
        if (i == 7) {
            EXPECT_EQ(array.capacity, 8);
        }
        if (i == 8) {
            EXPECT_EQ(array.capacity, 16);
        }
    }
    EXPECT_EQ(array.capacity, 32);
    EXPECT_EQ(array.count, 17);
    for (int i = 0; i < 17; i++)
        EXPECT_EQ(array.get(i), &values[i]);
    // Fresh slots beyond count are null.
    EXPECT_EQ(array.data[17], nullptr);
}

TEST(ArrayRemoval, SwapsLastIntoHole) {
    int a = 1, b = 2, c = 3, d = 4;
    Array<int*> array;
    for (int* p : {&a, &b, &c, &d})
        array.add(p);
    array.removeAt(1);
    EXPECT_EQ(contents(array), (std::vector<int>{1, 4, 3}));
    array.removeAt(2); // the last element: only the count changes
    EXPECT_EQ(contents(array), (std::vector<int>{1, 4}));
    array.removeAt(0);
    array.removeAt(0);
    EXPECT_EQ(array.count, 0);
    EXPECT_EQ(array.capacity, 8);
}

TEST(ArrayDiagnostics, BadIndicesPrintAndTouchNothing) {
    int a = 1, b = 2;
    Array<int*> array;
    array.add(&a);
    array.add(&b);

    testing::internal::CaptureStdout();
    EXPECT_EQ(array.get(-1), nullptr);
    EXPECT_EQ(array.get(2), nullptr);
    array.removeAt(2);
    array.removeAt(-5);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Invalid index -1 requested, valid range is [0-1]\n"
                   "Invalid index 2 requested, valid range is [0-1]\n"
                   "Attempt to remove invalid index 2, valid range is [0-1]\n"
                   "Attempt to remove invalid index -5, valid range is [0-1]\n");
    EXPECT_EQ(contents(array), (std::vector<int>{1, 2}));

    Array<int*> empty;
    testing::internal::CaptureStdout();
    EXPECT_EQ(empty.get(0), nullptr);
    empty.deleteAll();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Invalid index 0 requested, valid range is [0--1]\n");
}

TEST(ArrayDeleteAll, FreesRecordsAndKeepsStorage) {
    Array<std::string*> array;
    for (int i = 0; i < 10; i++)
        array.add(new std::string(40, 'x')); // long enough to live on the heap
    array.deleteAll();                       // LeakSanitizer checks the records went
    EXPECT_EQ(array.count, 0);
    EXPECT_EQ(array.capacity, 16);
    array.add(new std::string("again"));
    EXPECT_EQ(*array.get(0), "again");
    array.deleteAll();
}
