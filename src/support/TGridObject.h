#pragma once

// Base of what a grid column carries in its row-0 cell. The grid owns the object: it is freed
// when replaced, when its column goes away and with the grid. Derive from it and reach the
// derived type with dynamic_cast (or TStringGrid::ObjectAs).
class TGridObject {
public:
    TGridObject() = default;
    virtual ~TGridObject() = default;
    TGridObject(const TGridObject&) = delete;
    TGridObject& operator=(const TGridObject&) = delete;
};
