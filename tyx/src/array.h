// Array<T>: the engine's growable array, used for every variable-length collection. Elements are
// usually pointers to records made with new; the owner deletes them (deleteAll does it for
// pointers). Indexing and removal check the index and print a line to standard output when it is
// out of range, then carry on without touching anything outside the live slots.
#pragma once

#include <cstdint>
#include <cstdio>
#include <type_traits>

template <typename T> struct Array {
    int32_t capacity = 8;
    int32_t count = 0;
    T* data = new T[8]();

    Array() = default;
    ~Array() { delete[] data; }
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;

    // Appends, doubling the storage first when it is full.
    void add(T element) {
        if (count >= capacity)
            grow();
        data[count] = element;
        count += 1;
    }

    // The element at index; a bad index prints a line and yields a null (value-initialised)
    // element.
    T get(int32_t index) const {
        if (!isValidIndex(index)) {
            printf("Invalid index %i requested, valid range is [0-%i]\n", index, count - 1);
            return T();
        }
        return data[index];
    }

    // Removes by moving the last element into the hole: constant time, order not kept.
    void removeAt(int32_t index) {
        if (!isValidIndex(index)) {
            printf("Attempt to remove invalid index %i, valid range is [0-%i]\n", index, count - 1);
            return;
        }
        if (count > 1)
            data[index] = data[count - 1];
        count -= 1;
    }

    // Deletes every pointed-to record in slot order and empties the array; the storage stays.
    void deleteAll() requires std::is_pointer_v<T> {
        for (int32_t i = 0; i < count; i++)
            delete data[i];
        count = 0;
    }

    bool isValidIndex(int32_t index) const { return index >= 0 && index < count; }

  private:
    void grow() {
        int32_t newCapacity = capacity * 2;
        T* newData = new T[newCapacity]();
        for (int32_t i = 0; i < count; i++)
            newData[i] = data[i];
        delete[] data;
        data = newData;
        capacity = newCapacity;
    }
};
