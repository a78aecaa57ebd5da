#pragma once
// What every entity class shares: the world transform (identity at creation)
// and deletion through Release. An entity class derives from its interface
// (IWater, ISky, ...) and mixes this in through the template, so that the
// interface's IEntity operations are the ones implemented here.

#include "scene/IEntity.h"

namespace velmora::scene {

template <class tInterface, int kType>
class cCommonEntity : public tInterface {
public:
    void Release() override { delete this; }
    int GetType() const override { return kType; }
    const cMatrix& GetWorldMatrix() const override { return m_World; }
    void SetWorldMatrix(const cMatrix& matrix) override { m_World = matrix; }

protected:
    cCommonEntity() = default;
    cMatrix m_World;
};

} // namespace velmora::scene
