 SELECT t1.FItemID,t1.FName,t1.FNumber,t1.FParentID,1 as FDetail 
FROM t_Organization t1 
WHERE 1=1 ORDER BY t1.FNumber