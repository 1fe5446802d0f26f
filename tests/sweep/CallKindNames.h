// The name of each kind of management call, for naming a sweep's cases.
#pragma once

#include <map>

#include "sim/SimWorld.h"

inline const std::map<sim::CallKind, const char*> kindNames = {
    {sim::CallKind::Initialize, "Initialize"},
    {sim::CallKind::CloseApplication, "CloseApplication"},
    {sim::CallKind::NewSerializer, "NewSerializer"},
    {sim::CallKind::CloseSerializer, "CloseSerializer"},
    {sim::CallKind::NewSession, "NewSession"},
    {sim::CallKind::CloseSession, "CloseSession"},
    {sim::CallKind::QueryInstances, "QueryInstances"},
    {sim::CallKind::GetInstance, "GetInstance"},
    {sim::CallKind::GetClass, "GetClass"},
    {sim::CallKind::Invoke, "Invoke"},
    {sim::CallKind::ReadInstance, "ReadInstance"},
    {sim::CallKind::ReadClass, "ReadClass"},
    {sim::CallKind::CloseOperation, "CloseOperation"},
    {sim::CallKind::NewInstance, "NewInstance"},
    {sim::CallKind::NewInstanceFromClass, "NewInstanceFromClass"},
    {sim::CallKind::Serialize, "Serialize"},
    {sim::CallKind::CloneInstance, "CloneInstance"},
    {sim::CallKind::DeleteInstance, "DeleteInstance"},
    {sim::CallKind::InstanceIsA, "InstanceIsA"},
    {sim::CallKind::InstanceClassName, "InstanceClassName"},
    {sim::CallKind::SetNameSpace, "SetNameSpace"},
    {sim::CallKind::GetNameSpace, "GetNameSpace"},
    {sim::CallKind::GetElementCount, "GetElementCount"},
    {sim::CallKind::AddElement, "AddElement"},
    {sim::CallKind::SetElement, "SetElement"},
    {sim::CallKind::SetElementAt, "SetElementAt"},
    {sim::CallKind::GetElement, "GetElement"},
    {sim::CallKind::GetElementAt, "GetElementAt"},
    {sim::CallKind::ClearElement, "ClearElement"},
    {sim::CallKind::ClearElementAt, "ClearElementAt"},
    {sim::CallKind::GetServerName, "GetServerName"},
    {sim::CallKind::SetServerName, "SetServerName"},
    {sim::CallKind::InstanceGetClass, "InstanceGetClass"},
    {sim::CallKind::ClassName, "ClassName"},
    {sim::CallKind::ClassNameSpace, "ClassNameSpace"},
    {sim::CallKind::ClassServerName, "ClassServerName"},
    {sim::CallKind::ClassElementCount, "ClassElementCount"},
    {sim::CallKind::ClassGetElement, "ClassGetElement"},
    {sim::CallKind::ClassGetElementAt, "ClassGetElementAt"},
    {sim::CallKind::CloneClass, "CloneClass"},
    {sim::CallKind::DeleteClass, "DeleteClass"},
    {sim::CallKind::CancelOperation, "CancelOperation"},
};

