 SELECT Distinct t1.FItemID,t1.FName,t1.FShortNumber AS FNumber,t1.FParentID,1 as FDetail 
FROM t_ICItem t1 
WHERE t1.FErpClsid not in (6,8)  ORDER BY t1.FShortNumber