#pragma once
// A list owned by the game event (its cars or its balls), read through the host on each call.

#include "bakkesmod/wrappers/objectwrapper.h"

class CarWrapper;
class BallWrapper;

template <class T> class ArrayWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;

    int Count() const;      // entries now in the list
    T Get(int index) const; // the entry; a wrapper that holds nothing when index is out of range
};

extern template class ArrayWrapper<CarWrapper>;
extern template class ArrayWrapper<BallWrapper>;
